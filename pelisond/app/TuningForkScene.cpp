#include "TuningForkScene.h"

#include "OpenGLPanel.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <memory>

namespace pelisond {

namespace {

constexpr float InversePi = 0.3183098861f;
constexpr long double InversePiLong = 0.318309886183790671537767526745028724L;

double Finite(double v)
{
    return std::isfinite(v) ? v : 0.0;
}

float Finite(float v)
{
    return std::isfinite(v) ? v : 0.0f;
}

// A box 10 x 60 x 60 centred on the origin: its four faces parallel to x as one strip,
// then the two end faces.
void DrawElementBox()
{
    static constexpr GLdouble corners[5][2] = {{30, 30}, {30, -30}, {-30, -30}, {-30, 30}, {30, 30}};
    glBegin(GL_QUAD_STRIP);
    for (const auto& c : corners) {
        glVertex3d(-5, c[0], c[1]);
        glVertex3d(5, c[0], c[1]);
    }
    glEnd();
    for (const GLdouble x : {5.0, -5.0}) {
        glBegin(GL_POLYGON);
        for (const auto& c : corners)
            glVertex3d(x, c[0], c[1]);
        glEnd();
    }
}

// A band 4 wide in x from the middle of one element's upper face over a rectangular
// arch to the other's: the outer and inner faces as one strip, then the two sides.
// xA and xB are the elements' offsets in x, zA and zB in z.
void DrawYoke(double xA, double zA, double xB, double zB)
{
    struct Point {
        double x, y, z;
    };
    const Point band[8] = {{xA, 30, zA + 102}, {0, 70, 102},   {0, 70, -102}, {xB, 30, zB - 102},
                           {xB, 30, zB - 98},  {0, 66, -98}, {0, 66, 98},    {xA, 30, zA + 98}};
    glBegin(GL_QUAD_STRIP);
    for (const Point& p : band) {
        glVertex3d(p.x - 2, p.y, p.z);
        glVertex3d(p.x + 2, p.y, p.z);
    }
    glEnd();
    for (const double side : {2.0, -2.0}) {
        const Point edge[8] = {{xA, 30, zA + 102}, {xA, 30, zA + 98}, {0, 70, 102},      {0, 66, 98},
                               {0, 70, -102},      {0, 66, -98},      {xB, 30, zB - 102}, {xB, 30, zB - 98}};
        glBegin(GL_QUAD_STRIP);
        for (const Point& p : edge)
            glVertex3d(p.x + side, p.y, p.z);
        glEnd();
    }
}

void DrawAxes()
{
    glColor3f(0, 0, 0);
    glBegin(GL_LINES);
    glVertex3i(0, 0, 0);
    glVertex3i(100, 0, 0);
    glVertex3i(0, 0, 0);
    glVertex3i(0, 100, 0);
    // The X axis reaches past the elements (their boxes end at 130), so that its letter
    // stands clear of them as the view first shows them.
    glVertex3i(0, 0, -155);
    glVertex3i(0, 0, 155);
    glEnd();
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
}

// The axes' letters, drawn over everything else: X stands where an element may be (within
// its box when the first element swings out), and a letter behind an element cannot be read.
void DrawAxisLabels(TOpenGLPanel& panel)
{
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glColor3f(0, 0, 0);
    glRasterPos3i(110, -5, 0);
    panel.Draw2DText("Y");
    glRasterPos3i(0, -5, 160);
    panel.Draw2DText("X");
    glRasterPos3i(-5, 110, 0);
    panel.Draw2DText("Z");
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
}

// The red arrow along the base's axis, 35 long, its Ω label beside it at height 30.
void DrawOmegaArrow(TOpenGLPanel& panel, const OpenGLFont2D* symbolFont, GLUquadric* quadric)
{
    glPushMatrix();
    glRotatef(90, -1, 0, 0);
    glRasterPos3i(0, 5, 30);
    glDisable(GL_LIGHTING);
    if (symbolFont)
        panel.Draw2DText(symbolFont, "W");  // the symbol set draws W as Ω
    glEnable(GL_LIGHTING);
    glColor3f(1, 0, 0);
    if (quadric) {
        gluCylinder(quadric, 3, 3, 25, 10, 10);
        glTranslatef(0, 0, 25);
        gluCylinder(quadric, 5, 0, 10, 10, 10);
        gluDisk(quadric, 0, 5, 20, 20);
    }
    glPopMatrix();
}

void DrawAnchors(GLUquadric* quadric)
{
    glColor3f(0.5f, 1, 0.5f);
    if (!quadric)
        return;
    glPushMatrix();
    glTranslatef(0, 70, 0);
    glRotatef(90, -1, 0, 0);
    gluCylinder(quadric, 2, 2, 20, 10, 10);
    glPopMatrix();
    glPushMatrix();
    glTranslatef(0, -70, 0);
    glRotatef(90, 1, 0, 0);
    gluCylinder(quadric, 2, 2, 20, 10, 10);
    glPopMatrix();
}

// A slab 100 wide and 20 high under the frame, turning about the vertical axis; red on top.
void DrawBase(double angle)
{
    glPushMatrix();
    glColor3f(0.5f, 0.5f, 0.5f);
    glTranslatef(0, -90, 0);
    glRotated(angle, 0, 1, 0);
    glScalef(10, 10, 10);
    static constexpr GLfloat sides[10][3] = {{5, 0, -5}, {5, -2, -5}, {-5, 0, -5}, {-5, -2, -5}, {-5, 0, 5},
                                             {-5, -2, 5}, {5, 0, 5},  {5, -2, 5},   {5, 0, -5},  {5, -2, -5}};
    glBegin(GL_QUAD_STRIP);
    for (const auto& v : sides)
        glVertex3fv(v);
    glEnd();
    glColor3f(1, 0, 0);
    glBegin(GL_POLYGON);
    glVertex3f(5, 0, -5);
    glVertex3f(-5, 0, -5);
    glVertex3f(-5, 0, 5);
    glVertex3f(5, 0, 5);
    glEnd();
    glPopMatrix();
}

struct QuadricDeleter {
    void operator()(GLUquadric* q) const { gluDeleteQuadric(q); }
};

} // namespace

ScenePose PoseAt(const TuningForkModel& model, int k, Magnification m)
{
    ScenePose pose;
    pose.baseTurns = model.Params.BaseRate != 0;
    if (k < 0)
        return pose;
    const auto at = [&](SeriesIndex s) { return model.Series[s][static_cast<std::size_t>(k)]; };
    pose.zA = Finite(m.x * at(X1));
    pose.zB = Finite(m.x * at(X2));
    pose.xA = Finite(m.y * at(Y1));
    pose.xB = Finite(m.y * at(Y2));
    pose.phi = Finite(180.0f * static_cast<float>(at(Fi)) * static_cast<float>(m.fi) * InversePi);
    const long double angle = static_cast<long double>(k) * model.Params.PrintStep * model.Params.BaseRate * 180
                              * InversePiLong * 1000;
    // Whole turns look the same; dropping them keeps the angle exact in the matrix.
    pose.baseAngle = Finite(static_cast<double>(std::fmod(angle, 360.0L)));
    return pose;
}

void SetUpSceneView(int width, int height)
{
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-SceneHalfSize, SceneHalfSize, -SceneHalfSize, SceneHalfSize, -SceneHalfSize, SceneHalfSize);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    glClearColor(1, 1, 1, 1);
}

void DrawTuningForkScene(TOpenGLPanel& panel, const OpenGLFont2D* symbolFont, const ScenePose& pose,
                         ViewAngles view)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    static constexpr GLfloat lightPosition[] = {150, 100, 0, 1};
    static constexpr GLfloat ambient[] = {0.5f, 0.5f, 0.5f, 1};
    static constexpr GLfloat diffuse[] = {0.9f, 0.9f, 0.9f, 1};
    static constexpr GLfloat specular[] = {1, 1, 1, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
    glEnable(GL_COLOR_MATERIAL);
    glLineWidth(1);

    glPushMatrix();
    glRotatef(static_cast<GLfloat>(view.tilt), 1, 0, 0);
    glRotatef(static_cast<GLfloat>(view.turn), 0, -1, 0);

    DrawAxes();

    const std::unique_ptr<GLUquadric, QuadricDeleter> quadric(gluNewQuadric());
    if (pose.baseTurns)
        DrawOmegaArrow(panel, symbolFont, quadric.get());

    // The frame with both elements, their yokes and its anchors, turned by the frame angle.
    glPushMatrix();
    glRotatef(pose.phi, 0, -1, 0);
    glColor3f(0.5f, 1, 0.5f);
    glPushMatrix();
    glTranslated(0, 0, 100 + pose.zA);
    glTranslated(pose.xA, 0, 0);
    DrawElementBox();
    glPopMatrix();
    glPushMatrix();
    glTranslated(0, 0, -100 + pose.zB);
    glTranslated(pose.xB, 0, 0);
    DrawElementBox();
    glPopMatrix();

    glColor3f(1, 1, 0.5f);
    DrawYoke(pose.xA, pose.zA, pose.xB, pose.zB);
    // Turned half a turn about z, the same band with the x offsets negated meets the
    // elements' lower faces where they are.
    glPushMatrix();
    glRotatef(180, 0, 0, 1);
    DrawYoke(-pose.xA, pose.zA, -pose.xB, pose.zB);
    glPopMatrix();

    DrawAnchors(quadric.get());
    glPopMatrix();

    DrawBase(pose.baseAngle);
    DrawAxisLabels(panel);
    glPopMatrix();
}

} // namespace pelisond
