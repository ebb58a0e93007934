#pragma once

#include "TuningForkModel.h"

class OpenGLFont2D;
class TOpenGLPanel;

namespace pelisond {

// The magnifications the view's three track bars set.
struct Magnification {
    int x = 1;
    int y = 1;
    int fi = 1;
};

// The view direction in degrees: tilt about the x axis, turn about (0, -1, 0).
struct ViewAngles {
    int tilt = 15;
    int turn = 45;
};

// Where the moving parts stand at one sample, in scene units and degrees. The model's X
// is drawn along OpenGL's z, its Y along OpenGL's x, its Z (the base's axis) along y.
struct ScenePose {
    double zA = 0, zB = 0;  // elements along the drawn z, magnified X1 and X2
    double xA = 0, xB = 0;  // elements along the drawn x, magnified Y1 and Y2
    float phi = 0;          // frame angle, magnified
    double baseAngle = 0;   // base turned by its angular velocity up to this sample
    bool baseTurns = false; // the Ω arrow is drawn only then
};

// The pose of sample k of the model's latest run, which the caller has checked was
// recorded; k < 0 gives the device at rest. Values too large for the picture are drawn
// at rest rather than poisoning the matrices.
ScenePose PoseAt(const TuningForkModel& model, int k, Magnification m);

// Half the side of the orthographic box the scene is drawn in.
inline constexpr double SceneHalfSize = 150;

// Viewport over the whole panel, the orthographic box, depth test and white background.
void SetUpSceneView(int width, int height);

// The whole scene in the current context: axes labelled with the panel's bitmap font, the
// Ω arrow labelled with symbolFont (no label when it is null), the elements with their
// yokes and anchors on the turned frame, and the base.
void DrawTuningForkScene(TOpenGLPanel& panel, const OpenGLFont2D* symbolFont, const ScenePose& pose,
                         ViewAngles view);

} // namespace pelisond
