// Saving what the panel shows and printing it.
#include "PanelFixture.h"

#include <QFile>
#include <QImage>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>

namespace {

class PanelPicture : public PanelFixture {
protected:
    void SetUp() override
    {
        PanelFixture::SetUp();
        panel->OnPaint = DrawKnownScene;
        ASSERT_TRUE(ShowPanel());
    }

    std::unique_ptr<QPrinter> PdfPrinter(const QString& path)
    {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(path);
        return printer;
    }

    QTemporaryDir dir;
};

TEST_F(PanelPicture, SavedBitmapReloadsWithThePixelsShown)
{
    const QString path = dir.filePath("panel.bmp");
    panel->SaveOpenGLPanelToFile(path);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(2), QByteArray("BM"));
    const QImage saved(path);
    ASSERT_EQ(saved.size(), panel->size());
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), panel->GrabOpenGLPanel());
    EXPECT_EQ(saved.pixel(20, 60), qRgb(0, 255, 0));
}

TEST_F(PanelPicture, SavingWhereNoFileCanBeWrittenRaisesAnError)
{
    EXPECT_THROW(panel->SaveOpenGLPanelToFile(dir.filePath("no/such/folder/panel.bmp")), EOpenGLPanelFileError);
}

TEST_F(PanelPicture, ProportionalPrintingWithoutAResolutionPrintsAsWith96AndKeeps96)
{
    auto reference = PdfPrinter(dir.filePath("96.pdf"));
    const QRect at96 = panel->PrintOpenGLPanel(*reference);
    panel->SetOpenGLPixelsPerInch(0);
    auto printer = PdfPrinter(dir.filePath("0.pdf"));
    const QRect at0 = panel->PrintOpenGLPanel(*printer);
    EXPECT_EQ(at0, at96);
    EXPECT_EQ(panel->PixelsPerInch(), 96);
    // 160 pixels at 96 per inch on a 1200 dpi page, 0.18 inch in.
    EXPECT_EQ(at0, QRect(216, 216, 2000, 1500));
    QFile pdf(dir.filePath("0.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_EQ(pdf.read(4), QByteArray("%PDF"));
}

TEST_F(PanelPicture, WithoutADefaultPrinterNothingIsPrintedAndTheUserIsTold)
{
    if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "a printer is configured here";
    platform->ClearLog();
    panel->PrintOpenGLPanel();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("Принтер"))) << messages[0].toStdString();
    EXPECT_EQ(platform->Count("Allocate"), 0);
}

} // namespace
