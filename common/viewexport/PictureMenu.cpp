#include "PictureMenu.h"

#include "AppServices.h"
#include "OpenGLPanel.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTimer>

#include <GL/gl.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace viewexport {

namespace {

// Undoes a change when the scope ends, however it ends.
template <typename F>
class Finally {
public:
    explicit Finally(F f) : f_(std::move(f)) {}
    ~Finally() { f_(); }
    Finally(const Finally&) = delete;
    Finally& operator=(const Finally&) = delete;

private:
    F f_;
};

// The buffer the paint drew into, read before the swap, top row first.
QImage ReadDrawBuffer(QSize size)
{
    QImage image(size, QImage::Format_RGBX8888);
    GLint drawBuffer = GL_BACK;
    glGetIntegerv(GL_DRAW_BUFFER, &drawBuffer);
    glReadBuffer(static_cast<GLenum>(drawBuffer));
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glReadPixels(0, 0, size.width(), size.height(), GL_RGBA, GL_UNSIGNED_BYTE, image.bits());
    glPopClientAttrib();
    return image.mirrored().convertToFormat(QImage::Format_RGB32);
}

const QRegularExpression& FramePattern()
{
    static const QRegularExpression pattern(QStringLiteral("^frame_\\d{5}\\.png$"));
    return pattern;
}

} // namespace

PictureMenu::PictureMenu(TOpenGLPanel* panel, Animation animation, QObject* parent)
    : QObject(parent)
    , panel_(panel)
    , animation_(std::move(animation))
{
    ChooseFile = [](QWidget* owner, const QString& caption, const QString& filter) {
        return QFileDialog::getSaveFileName(owner, caption, QString(), filter);
    };
    ChooseFolder = [](QWidget* owner, const QString& caption) {
        return QFileDialog::getExistingDirectory(owner, caption);
    };
    PrinterInstalled = [] { return !QPrinterInfo::defaultPrinter().isNull(); };
    SetUpPrinter = [](QPrinter& printer, QWidget* owner) {
        QPrintDialog dialog(&printer, owner);
        return dialog.exec() == QDialog::Accepted;
    };

    // The panel's own notices (no printer, a failed print job) come in the application's
    // message box like all the others.
    panel_->SetMessageSink([](const QString& text) { gyroapp::Services().Notify(text); });

    Menu = new QMenu(panel_);
    Menu->setObjectName(QStringLiteral("PictureMenu"));
    SaveBmpAction = Menu->addAction(QStringLiteral("Сохранить изображение как BMP..."));
    SavePngAction = Menu->addAction(QStringLiteral("Сохранить изображение как PNG..."));
    PrintAction = Menu->addAction(QStringLiteral("Печать..."));
    Menu->addSeparator();
    RecordAction = Menu->addAction(QStringLiteral("Записать анимацию в PNG..."));

    const auto handle = [this](QAction* action, void (PictureMenu::*handler)()) {
        connect(action, &QAction::triggered, this, [this, handler] { gyroapp::RunHandler([this, handler] { (this->*handler)(); }); });
    };
    handle(SaveBmpAction, &PictureMenu::SaveBmp);
    handle(SavePngAction, &PictureMenu::SavePng);
    handle(PrintAction, &PictureMenu::Print);
    handle(RecordAction, &PictureMenu::RecordAnimation);
}

PictureMenu::~PictureMenu() = default;

void PictureMenu::Popup(const QPoint& globalPos)
{
    Menu->popup(globalPos);
}

QString PictureMenu::FrameName(int number)
{
    return QStringLiteral("frame_%1.png").arg(number, 5, 10, QLatin1Char('0'));
}

QString PictureMenu::ChooseFileWithSuffix(const QString& caption, const QString& filter, const QString& suffix)
{
    QString name = ChooseFile(panel_->window(), caption, filter);
    if (!name.isEmpty() && QFileInfo(name).suffix().isEmpty())
        name += QLatin1Char('.') + suffix;
    return name;
}

void PictureMenu::SaveBmp()
{
    const QString name = ChooseFileWithSuffix(QStringLiteral("Сохранить изображение как BMP"),
                                              QStringLiteral("Рисунки BMP (*.bmp)"), QStringLiteral("bmp"));
    if (!name.isEmpty())
        panel_->SaveOpenGLPanelToFile(name);
}

void PictureMenu::SavePng()
{
    const QString name = ChooseFileWithSuffix(QStringLiteral("Сохранить изображение как PNG"),
                                              QStringLiteral("Рисунки PNG (*.png)"), QStringLiteral("png"));
    if (name.isEmpty())
        return;
    // The same picture the BMP gets: what the panel shows, painted afresh.
    const QImage picture = panel_->GrabOpenGLPanel();
    if (picture.isNull())
        throw std::runtime_error(
            QStringLiteral("Нечего сохранять в «%1»: изображение ещё не показано").arg(name).toStdString());
    QImageWriter writer(name, "png");
    if (!writer.write(picture))
        throw std::runtime_error(
            QStringLiteral("Не удалось записать файл «%1»: %2").arg(name, writer.errorString()).toStdString());
}

void PictureMenu::Print()
{
    if (!PrinterInstalled()) {
        // The panel's own printing tells the user that there is no printer.
        panel_->PrintOpenGLPanel();
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    if (SetUpPrinter(printer, panel_->window()))
        panel_->PrintOpenGLPanel(printer);
}

void PictureMenu::RecordAnimation()
{
    if (animation_.lastSample() < 0) {
        gyroapp::Services().Notify(QStringLiteral("Нет рассчитанных кадров: запишите анимацию после расчета."));
        return;
    }
    const QString folder = ChooseFolder(panel_->window(), QStringLiteral("Папка для кадров анимации"));
    if (folder.isEmpty() || !ClearEarlierFrames(folder))
        return;
    const RecordingResult result = RecordFrames(folder);
    const QString where = QDir::toNativeSeparators(folder);
    if (result.cancelled)
        gyroapp::Services().Notify(
            QStringLiteral("Запись анимации прервана. Записано кадров: %1 в папку «%2».").arg(result.written).arg(where));
    else
        gyroapp::Services().Notify(QStringLiteral("Записано кадров: %1 (%2 … %3) в папку «%4».")
                                       .arg(result.written)
                                       .arg(FrameName(0), FrameName(std::max(result.written - 1, 0)), where));
}

bool PictureMenu::ClearEarlierFrames(const QString& folder)
{
    QDir dir(folder);
    const QStringList earlier = dir.entryList({QStringLiteral("frame_*.png")}, QDir::Files).filter(FramePattern());
    if (earlier.isEmpty())
        return true;
    if (!gyroapp::Services().AskYesNo(
            QStringLiteral("В папке «%1» уже есть кадры анимации (%2). Удалить их и записать новые?")
                .arg(QDir::toNativeSeparators(folder))
                .arg(earlier.size())))
        return false;
    for (const QString& name : earlier)
        if (!dir.remove(name))
            throw std::runtime_error(
                QStringLiteral("Не удалось удалить прежний кадр «%1»").arg(dir.filePath(name)).toStdString());
    return true;
}

QImage PictureMenu::RenderFrame()
{
    QImage frame;
    const TNotifyEvent paint = panel_->OnPaint;
    if (!paint)
        return frame;
    panel_->OnPaint = [&frame, &paint](TOpenGLPanel* sender) {
        paint(sender);
        frame = ReadDrawBuffer(sender->size());
    };
    Finally restore([this, &paint] { panel_->OnPaint = paint; });
    panel_->Paint();
    return frame;
}

RecordingResult PictureMenu::RecordFrames(const QString& folder)
{
    RecordingResult result;
    const int first = animation_.shownSample();
    const int last = std::max(first, animation_.lastSample());
    if (first < 0)
        return result;
    QDir().mkpath(folder);
    const QDir dir(folder);

    // The timer would move the view under the recording; it goes on afterwards if it ran.
    QTimer* timer = animation_.timer();
    const bool animating = timer->isActive();
    timer->stop();
    const std::function<void()> putBack = animation_.keepView();
    Finally resume([&] {
        putBack();
        panel_->Repaint();
        if (animating)
            timer->start();
    });

    gyroapp::BusyCursor hourglass;
    const std::unique_ptr<gyroapp::RunProgress> progress =
        gyroapp::Services().StartProgress(QStringLiteral("Запись кадров анимации..."));
    const int count = last - first + 1;
    for (int k = first; k <= last; ++k) {
        animation_.showSample(k);
        const QImage frame = RenderFrame();
        const QString path = dir.filePath(FrameName(result.written));
        QImageWriter writer(path, "png");
        if (frame.isNull() || !writer.write(frame)) {
            const QString reason = frame.isNull() ? QStringLiteral("изображение не получено") : writer.errorString();
            throw std::runtime_error(QStringLiteral("Не удалось записать кадр «%1»: %2. Записано кадров: %3.")
                                         .arg(QDir::toNativeSeparators(path), reason)
                                         .arg(result.written)
                                         .toStdString());
        }
        ++result.written;
        if (progress->Update(static_cast<double>(result.written) / count)) {
            result.cancelled = true;
            break;
        }
    }
    return result;
}

} // namespace viewexport
