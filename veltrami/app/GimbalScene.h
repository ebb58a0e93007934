#pragma once

class BMPTexture;

namespace veltrami {

// What one picture of the gimbal gyroscope shows.
struct GimbalSceneState {
    double alphaDegrees = 0;  // outer frame's turn: magnification × angle
    double betaDegrees = 0;   // inner frame's turn, within the outer frame
    bool outerTorqueShown = false;  // the outer frame has a torque amplitude
    float outerTorqueLevel = 0;
    bool outerTorquePositive = false;
    bool innerTorqueShown = false;
    float innerTorqueLevel = 0;
    bool innerTorquePositive = false;
    bool spinning = false;  // the rotor has a kinetic moment
    int sample = 0;         // the rotor turns 2 degrees per sample while spinning
};

// Fixed-function OpenGL drawing of the gimbal view; the panel's context must be current.

// Viewport over the whole panel and the -10 .. 10 box, not corrected for the aspect ratio.
void SetGimbalProjection(int width, int height);

// State that lasts for the context's life: projection, depth test, black background and,
// when texture is given and OpenGL takes it, the rotor's texture at half strength (alpha
// 128, decal), then flat shading. Without a texture (its file could not be read) the
// set-up ends before the texture and the shading. Returns whether the texture is in use.
// The texture goes into the context's default texture object, so it lives and dies with
// the context.
bool InitGimbalScene(int width, int height, BMPTexture* texture);

// Whether OpenGL 1.x can take a texture of these sides.
bool TextureSidesAccepted(int width, int height);

// Draws one picture from scratch in immediate mode.
void DrawGimbalScene(const GimbalSceneState& state);

} // namespace veltrami
