#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QAction;
class QImage;
class QMenu;
class QPoint;
class QPrinter;
class QTimer;
class QWidget;
class TOpenGLPanel;

namespace viewexport {

// What the menu needs to know of the animation a 3D view plays.
struct Animation {
    // The animation clock: held while frames are recorded.
    std::function<QTimer*()> timer;
    // The sample the view shows now, and the last one its animation shows; -1 when
    // nothing was recorded.
    std::function<int()> shownSample;
    std::function<int()> lastSample;
    // Puts sample k into the view (index, labels, display state) without repainting.
    std::function<void(int k)> showSample;
    // Remembers the view's state now; the returned function puts it back.
    std::function<std::function<void()>()> keepView;
};

// How a recording ended.
struct RecordingResult {
    int written = 0;
    bool cancelled = false;
};

// The context menu of a 3D view's picture: save it as BMP or PNG, print it, and record
// the animation from the shown sample on as numbered PNG frames.
class PictureMenu : public QObject {
    Q_OBJECT
public:
    PictureMenu(TOpenGLPanel* panel, Animation animation, QObject* parent = nullptr);
    ~PictureMenu() override;

    // Shows the menu at a point of the screen and returns at once.
    void Popup(const QPoint& globalPos);

    void SaveBmp();
    void SavePng();
    void Print();
    void RecordAnimation();
    // Writes frame_00000.png, frame_00001.png, ... into folder; the view ends as it began.
    RecordingResult RecordFrames(const QString& folder);

    // The picture of the sample in the view now, painted afresh and read from the panel's
    // drawing buffer: unlike the screen, it holds no window that happens to cover the panel.
    QImage RenderFrame();

    static QString FrameName(int number);

    QMenu* Menu = nullptr;
    QAction* SaveBmpAction = nullptr;
    QAction* SavePngAction = nullptr;
    QAction* PrintAction = nullptr;
    QAction* RecordAction = nullptr;

    // Dialogs, replaceable so that tests can answer them. An empty answer means cancelled.
    std::function<QString(QWidget* parent, const QString& caption, const QString& filter)> ChooseFile;
    std::function<QString(QWidget* parent, const QString& caption)> ChooseFolder;
    // Whether any printer is set up on this computer.
    std::function<bool()> PrinterInstalled;
    // Lets the user set up the printout; false when cancelled.
    std::function<bool(QPrinter& printer, QWidget* parent)> SetUpPrinter;

private:
    QString ChooseFileWithSuffix(const QString& caption, const QString& filter, const QString& suffix);
    // Asks before frames of an earlier recording get mixed with new ones; false to stop.
    bool ClearEarlierFrames(const QString& folder);

    TOpenGLPanel* panel_;
    Animation animation_;
};

} // namespace viewexport
