#include "GimbalScene.h"

#include "BMPTexture.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace veltrami {

namespace {

constexpr int Slices = 20;
constexpr int Stacks = 20;
constexpr int Loops = 20;

bool PowerOfTwo(int n)
{
    return n > 0 && (n & (n - 1)) == 0;
}

// A bar of rectangular cross-section [u0, u1] x [v0, v1] running from w0 to w1 along
// one axis, as one quad strip round its four sides; the ends stay open. place maps
// (u, v, w) to x, y, z.
template <typename Place>
void Bar(double u0, double u1, double v0, double v1, double w0, double w1, Place place)
{
    const double corners[5][2] = {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}, {u0, v0}};
    glBegin(GL_QUAD_STRIP);
    for (const auto& c : corners) {
        place(c[0], c[1], w0);
        place(c[0], c[1], w1);
    }
    glEnd();
}

void AlongZ(double x, double y, double z)
{
    glVertex3f(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}

// Arrow along the current z axis whose head spans offset .. offset + 0.2 and whose shaft
// of length 0.3 L ends where the head starts.
void Arrow(GLUquadric* quadric, float level, double offset)
{
    const double shaft = 0.3 * level;
    glTranslated(0, 0, offset - shaft);
    gluCylinder(quadric, 0.03, 0.03, shaft, Slices, Stacks);
    glTranslated(0, 0, shaft);
    gluCylinder(quadric, 0.1, 0, 0.2, Slices, Stacks);
    gluDisk(quadric, 0, 0.1, Slices, Loops);
}

void OuterFrame()
{
    glColor3f(0, 0.5f, 1);
    Bar(-0.1, 0.1, 0.95, 1, -1.5, 1.5, AlongZ);
    Bar(-0.1, 0.1, 1.45, 1.5, -1, 1, [](double x, double z, double y) { AlongZ(x, y, z); });
    Bar(-0.1, 0.1, -1, -0.95, -1.5, 1.5, AlongZ);
    Bar(-0.1, 0.1, -1.5, -1.45, -1, 1, [](double x, double z, double y) { AlongZ(x, y, z); });
}

void InnerFrameBars()
{
    Bar(0.95, 1, -0.1, 0.1, -1.5, 1.5, AlongZ);
    Bar(1.45, 1.5, -0.1, 0.1, -1, 1, [](double z, double y, double x) { AlongZ(x, y, z); });
    Bar(-1, -0.95, -0.1, 0.1, -1.5, 1.5, AlongZ);
    Bar(-1.5, -1.45, -0.1, 0.1, -1, 1, [](double z, double y, double x) { AlongZ(x, y, z); });
}

void OuterTorqueArrow(const GimbalSceneState& state)
{
    glPushMatrix();
    GLUquadric* quadric = gluNewQuadric();
    glColor3f(1, 0, 0);
    if (state.outerTorquePositive) {
        glTranslated(-0.6, 0.95, 1.3);
        glRotated(90, 0, 1, 0);
    } else {
        glTranslated(0.6, 0.95, 1.3);
        glRotated(270, 0, 1, 0);
    }
    Arrow(quadric, state.outerTorqueLevel, 0.3);
    gluDeleteQuadric(quadric);
    glPopMatrix();
}

void InnerTorqueArrow(const GimbalSceneState& state)
{
    glPushMatrix();
    GLUquadric* quadric = gluNewQuadric();
    glColor3f(1, 0, 0);
    double offset = 0.3;
    if (state.innerTorquePositive) {
        glTranslated(0.95, 0.6, -0.9);
        glRotated(90, 0, 0, 1);
        glRotated(-90, 0, 1, 0);
    } else {
        glTranslated(0.95, -0.9, -0.9);
        glRotated(90, 0, 0, 1);
        glRotated(-270, 0, 1, 0);
        offset = 0.6;
    }
    Arrow(quadric, state.innerTorqueLevel, offset);
    gluDeleteQuadric(quadric);
    glPopMatrix();
}

// The rotor with its textured rim and grey faces, and the kinetic-moment arrow out of
// its far face; spins about the inner frame's x axis.
void Rotor(const GimbalSceneState& state)
{
    glPushMatrix();
    glRotated(90, 0, 1, 0);
    glTranslated(0, 0, -0.25);
    glColor3f(1, 1, 1);
    GLUquadric* rim = gluNewQuadric();
    gluQuadricTexture(rim, GL_TRUE);
    if (state.spinning)
        glRotated(2.0 * state.sample, 0, 0, 1);
    gluCylinder(rim, 0.5, 0.5, 0.5, Slices, Stacks);
    glTranslated(0, 0, 0.5);
    gluDeleteQuadric(rim);

    GLUquadric* solid = gluNewQuadric();
    gluQuadricDrawStyle(solid, GLU_FILL);
    gluQuadricNormals(solid, GLU_SMOOTH);
    glColor3f(0.5f, 0.5f, 0.5f);
    gluDisk(solid, 0, 0.5, Slices, Loops);
    glTranslated(0, 0, -0.5);
    gluDisk(solid, 0, 0.5, Slices, Loops);

    if (state.spinning) {
        glColor3f(1, 0, 0);
        glTranslated(0, 0, 0.5);
        gluCylinder(solid, 0.03, 0.03, 0.3, Slices, Stacks);
        glTranslated(0, 0, 0.3);
        gluCylinder(solid, 0.1, 0, 0.2, Slices, Stacks);
        gluDisk(solid, 0, 0.1, Slices, Loops);
    }
    gluDeleteQuadric(solid);
    glPopMatrix();
}

// The view's turn: 15 degrees down, 45 degrees round the vertical.
void ViewTurn()
{
    glRotated(15, 1, 0, 0);
    glRotated(45, 0, -1, 0);
}

} // namespace

bool TextureSidesAccepted(int width, int height)
{
    return PowerOfTwo(width) && PowerOfTwo(height);
}

void SetGimbalProjection(int width, int height)
{
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-10, 10, -10, 10, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

bool InitGimbalScene(int width, int height, BMPTexture* texture)
{
    SetGimbalProjection(width, height);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 1);

    // An image that could not be read ends the set-up here: no texture, no flat shading.
    if (texture == nullptr) {
        glDisable(GL_TEXTURE_2D);
        return false;
    }
    bool textured = false;
    if (TextureSidesAccepted(texture->Width(), texture->Height())) {
        while (glGetError() != GL_NO_ERROR) {
        }
        texture->SetAlpha(128);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
        glTexImage2D(GL_TEXTURE_2D, 0, 4, texture->Width(), texture->Height(), 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     texture->Pixels());
        textured = glGetError() == GL_NO_ERROR;
    }
    // Without an image the texture unit would sample an incomplete texture; say so plainly.
    if (!textured)
        glDisable(GL_TEXTURE_2D);
    glShadeModel(GL_FLAT);
    return textured;
}

void DrawGimbalScene(const GimbalSceneState& state)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    const GLfloat ambient[4] = {0.5f, 0.5f, 0.5f, 1};
    const GLfloat diffuse[4] = {0.9f, 0.9f, 0.9f, 1};
    const GLfloat specular[4] = {1, 1, 1, 1};
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    glLightModelf(GL_LIGHT_MODEL_TWO_SIDE, 1);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);

    glPushMatrix();
    glScaled(5, 5, 5);
    ViewTurn();

    glRotated(state.alphaDegrees, 0, 1, 0);
    OuterFrame();
    if (state.outerTorqueShown)
        OuterTorqueArrow(state);

    glPushMatrix();
    glColor3f(0, 1, 0);
    glRotated(state.betaDegrees, 0, 0, 1);
    glScaled(1, 1, 0.9);
    InnerFrameBars();
    if (state.innerTorqueShown)
        InnerTorqueArrow(state);

    // The axle takes the colour last set: red after the inner torque arrow, else green.
    glLineWidth(4);
    glBegin(GL_LINES);
    glVertex3f(-1, 0, 0);
    glVertex3f(1, 0, 0);
    glEnd();

    Rotor(state);
    glPopMatrix();  // inner frame
    glPopMatrix();  // view

    // Axes, turned with the view but not magnified.
    glLineWidth(1);
    glPushMatrix();
    ViewTurn();
    glColor3f(1, 1, 1);
    glBegin(GL_LINES);
    glVertex3f(0, 0, 0);
    glVertex3f(10, 0, 0);
    glVertex3f(0, 0, 0);
    glVertex3f(0, 10, 0);
    glVertex3f(0, 0, 0);
    glVertex3f(0, 0, 10);
    glEnd();
    glPopMatrix();
}

} // namespace veltrami
