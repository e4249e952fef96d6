// The container's services on Qt: screen metrics from the real screen, the real clipboard, real
// message boxes (answered here as a person would), pictures read by QImage, the hourglass, timers
// and the event loop.

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QScreen>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/Picture.h"
#include "platform/printing/PdfPrinter.h"
#include "platform/qt/QtToolkit.h"
#include "runtime/Error.h"

namespace tamarind::testing {
namespace {

using platform::qt::QtToolkit;

TEST(QtServices, TwipsPerPixelFollowTheScreensLogicalDpi) {
  QtToolkit tk;
  const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchX();
  EXPECT_EQ(tk.GetScreen().TwipsPerPixelX(), static_cast<int32_t>(std::lround(1440 / dpi)));
  if (dpi == 96) {
    EXPECT_EQ(tk.GetScreen().TwipsPerPixelY(), 15);
  }
}

TEST(QtServices, ClipboardTextRoundTripsThroughTheSystemClipboard) {
  QtToolkit tk;
  tk.GetClipboard().SetText("Anise\t12\r\nDill\t3", platform::Clipboard::vbCFText);
  EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "Anise\t12\r\nDill\t3");
  QGuiApplication::clipboard()->setText(QString::fromUtf8("Crème brûlée"));
  EXPECT_EQ(tk.GetClipboard().GetText(), "Crème brûlée");
  tk.GetClipboard().Clear();
  EXPECT_EQ(tk.GetClipboard().GetText(), "");
}

TEST(QtServices, AMessageBoxIsShownAndReturnsTheButtonTheUserPressed) {
  QtToolkit tk;
  tk.AnswerMessageBoxes([](const platform::qt::ShownMessageBox& box) {
    return box.title == "Warning" ? vbNo : vbOK;
  });
  EXPECT_EQ(tk.MsgBox("Save the order?", vbYesNo + vbQuestion, "Warning"), vbNo);
  EXPECT_EQ(tk.MsgBox("Saved.", vbOKOnly, "Orders"), vbOK);
  ASSERT_EQ(tk.MessageBoxes().size(), 2u);
  EXPECT_EQ(tk.MessageBoxes()[0].prompt, "Save the order?");
  EXPECT_EQ(tk.MessageBoxes()[0].answer, vbNo);
}

TEST(QtServices, LoadPictureReadsImageFilesAndNamesWhatIsWrong) {
  QtToolkit tk;
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QImage image(3, 2, QImage::Format_RGB32);
  image.fill(qRgb(10, 20, 30));
  image.setPixel(2, 1, qRgb(200, 100, 50));
  const QString png = dir.filePath("swatch.png");
  ASSERT_TRUE(image.save(png));

  const platform::PictureRef p = tk.LoadPicture(png.toStdString());
  ASSERT_EQ(p->WidthPx(), 3);
  ASSERT_EQ(p->HeightPx(), 2);
  EXPECT_EQ(p->Pixel(0, 0), platform::RGB(10, 20, 30));
  EXPECT_EQ(p->Pixel(2, 1), platform::RGB(200, 100, 50));
  EXPECT_TRUE(tk.LoadPicture("")->IsEmpty());

  try {
    tk.LoadPicture(dir.filePath("missing.png").toStdString());
    ADD_FAILURE() << "a missing file loaded";
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), 53);
  }
  QFile text(dir.filePath("notes.bmp"));
  ASSERT_TRUE(text.open(QIODevice::WriteOnly));
  text.write("not a picture at all");
  text.close();
  try {
    tk.LoadPicture(text.fileName().toStdString());
    ADD_FAILURE() << "a text file loaded as a picture";
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), 481);
  }

  // A bitmap header that declares 131,072 x 2 pixels (found by fuzzing): larger than any picture
  // the platform holds, refused before anything is decoded.
  const unsigned char wide[] = {'B', 'M', 0x46, 0, 0, 0, 0, 0, 0, 0, 0x36, 0, 0, 0, 0x28, 0, 0, 0,
                                0, 0, 2, 0, 2, 0, 0, 0, 1, 0, 0x18, 0, 0, 0, 0, 0, 0x10, 0, 0, 0,
                                0x13, 0xb, 0, 0, 0x13, 0xb, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                0xff, 0, 0xff, 0, 0, 0, 0xff, 0, 0xff, 0xff, 0xff, 0xff, 0, 0};
  QFile huge(dir.filePath("wide.bmp"));
  ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
  huge.write(reinterpret_cast<const char*>(wide), sizeof wide);
  huge.close();
  try {
    tk.LoadPicture(huge.fileName().toStdString());
    ADD_FAILURE() << "a picture wider than any bitmap loaded";
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), 7);
  }

  // 53 bytes of a bitmap that declares a picture of millions of pixels (found by fuzzing): the
  // reader would fill it out for seconds; refused as no picture, before it is decoded.
  const unsigned char cut[] = {0x42, 0x4d, 0x46, 0, 0, 0, 0, 0, 0, 0x42, 0x28, 0, 0, 0, 0x02, 0, 0x2f, 0x2a,
                               0, 0x3d, 0, 0x04, 0x01, 0, 0x18, 0, 0, 0, 0, 0, 0x10, 0, 0, 0,
                               0x78, 0, 0x01, 0, 0x13, 0x0b, 0, 0x46, 0x42, 0, 0, 0, 0, 0x4d, 0, 0,
                               0, 0, 0};
  QFile shortFile(dir.filePath("cut.bmp"));
  ASSERT_TRUE(shortFile.open(QIODevice::WriteOnly));
  shortFile.write(reinterpret_cast<const char*>(cut), sizeof cut);
  shortFile.close();
  try {
    tk.LoadPicture(shortFile.fileName().toStdString());
    ADD_FAILURE() << "53 bytes loaded as a picture of millions of pixels";
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), 481);
  }
}

TEST(QtServices, TheHourglassIsTheApplicationsOverrideCursor) {
  QtToolkit tk;
  tk.GetScreen().MousePointer(platform::vbHourglass);
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
  tk.GetScreen().MousePointer(platform::vbHourglass);  // twice still needs one restore
  tk.GetScreen().MousePointer(platform::vbDefault);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(QtServices, TimersTickOnTheEventLoopAndAStoppedTimerStaysQuiet) {
  QtToolkit tk;
  int ticks = 0, other = 0;
  platform::TimerService::TimerId id = 0;
  id = tk.Timers().StartTimer(10, [&] {
    if (++ticks == 3) tk.Timers().StopTimer(id);  // stops itself from its own tick
  });
  const auto quiet = tk.Timers().StartTimer(10, [&] { ++other; });
  tk.Timers().StopTimer(quiet);
  const uint32_t start = tk.GetClock().GetTickCount();
  while (tk.GetClock().GetTickCount() - start < 200) tk.DoEvents();
  EXPECT_EQ(ticks, 3);
  EXPECT_EQ(other, 0);
}

TEST(QtServices, PrintingMakesRealPagesOnThePrinterTheHostChose) {
  QtToolkit tk;
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  auto pdf = std::make_shared<printing::PdfPrinter>(printing::A4Paper(), dir.path().toStdString());
  tk.SetPrinter(pdf);
  platform::Printer& printer = tk.GetPrinter();
  ASSERT_EQ(&printer, pdf.get());
  printer.Print("Orders");
  printer.NewPage();
  printer.Print("Page 2");
  printer.EndDoc();
  ASSERT_FALSE(pdf->LastOutput().empty());
  QFile file(QString::fromStdString(pdf->LastOutput().string()));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.read(5).startsWith("%PDF-"));
  EXPECT_EQ(pdf->LastPageCount(), 2);
}

}  // namespace
}  // namespace tamarind::testing
