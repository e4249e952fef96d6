// The container's services on Qt: screen metrics from the real screen, the real clipboard, real
// message boxes (answered here as a person would), pictures read by QImage, the hourglass, timers
// and the event loop.

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QScreen>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

#include "platform/Picture.h"
#include "platform/printing/PdfPrinter.h"
#include "platform/qt/QtSupport.h"
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

// Widths are kept per font and per text: each font that differs in anything the text's shape
// depends on gets its own, and every answer is the one Qt gives for that font.
TEST(QtServices, TextMetricsAnswerForEachFontAsQtMeasuresIt) {
  QtToolkit tk;
  const platform::TextMetrics& metrics = tk.Metrics();
  const std::string text = "Cardamom pods, green";
  platform::StdFont regular("DejaVu Sans", 9), bold("DejaVu Sans", 9), large("DejaVu Sans", 14),
      italic("DejaVu Sans", 9);
  bold.Weight(700);
  italic.Italic(true);
  for (int round = 0; round < 2; ++round) {  // the second round answers from what was kept
    for (const platform::StdFont* font : {&regular, &bold, &large, &italic}) {
      const QFontMetrics qt(platform::qt::ToQFont(*font));
      EXPECT_EQ(metrics.TextWidthPx(*font, text), qt.horizontalAdvance(QString::fromUtf8(text.c_str())))
          << font->Name() << " " << font->Size() << " weight " << font->Weight() << " round " << round;
      EXPECT_EQ(metrics.TextHeightPx(*font), qt.height());
    }
  }
  EXPECT_GT(metrics.TextWidthPx(bold, text), metrics.TextWidthPx(regular, text));
  EXPECT_EQ(metrics.TextWidthPx(regular, ""), 0);
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

  // The error number the file loads with, 0 for none.
  const auto errorLoading = [&](const QString& path) {
    try {
      tk.LoadPicture(path.toStdString());
    } catch (const Error& e) {
      return e.Number();
    }
    return 0;
  };
  EXPECT_EQ(errorLoading(dir.filePath("missing.png")), 53);
  QFile text(dir.filePath("notes.bmp"));
  ASSERT_TRUE(text.open(QIODevice::WriteOnly));
  text.write("not a picture at all");
  text.close();
  EXPECT_EQ(errorLoading(text.fileName()), 481);
  // Bitmaps found by fuzzing, each refused before its pixels cost anything.
  const QString seeds = TAMARIND_SOURCE_DIR "/fuzz/corpus/qt_picture/";
  // A header that declares 131,072 x 2 pixels: larger than any picture the platform holds.
  EXPECT_EQ(errorLoading(seeds + "wider-than-any-bitmap.bmp"), 7);
  // 53 bytes that declare millions of pixels, which the reader would fill out for seconds.
  EXPECT_EQ(errorLoading(seeds + "cut-short-bitmap-of-millions-of-pixels.bmp"), 481);
  // 31 bytes whose size is known only once decoded: the decoder may not allocate it.
  EXPECT_EQ(errorLoading(seeds + "cut-short-bitmap-of-unknown-size.bmp"), 481);
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
