#include "HistoryExport.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QProgressDialog>
#include <QString>
#include <memory>

#include "ExcelReport.h"
#include "MessageBox.h"
#include "PdfReport.h"
#include "ReportColumns.h"
#include "SaveFile.h"
#include "TextRows.h"

namespace {

constexpr const char* kPdfSuccess = "导出成功";
constexpr const char* kExcelSuccess = "导出文件:%1 成功";
constexpr const char* kExcelSpillNote = "\n超过65535行的数据已续写到Sheet2至Sheet%1，每页都有标题行。";
constexpr const char* kExcelFailure = "导出失败";
constexpr const char* kNothingToExport = "没有可导出的记录";
constexpr const char* kCurveTitle = "历史曲线";
constexpr const char* kSavedIn = "文件保存在: %1";
constexpr int kProgressThreshold = 5000;  // rows; smaller exports finish before a dialog would show

// Busy cursor and a progress dialog for the duration of one export.
class ExportBusy {
 public:
  ExportBusy(QWidget* owner, int rows, const QString& label) {
    if (!owner) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    cursor_ = true;
    if (rows >= kProgressThreshold) {
      dialog_ = std::make_unique<QProgressDialog>(label, QString(), 0, rows, owner);
      dialog_->setWindowModality(Qt::WindowModal);
      dialog_->setMinimumDuration(300);
      dialog_->setCancelButton(nullptr);
    }
  }
  ~ExportBusy() {
    dialog_.reset();
    if (cursor_) QApplication::restoreOverrideCursor();
  }
  ExportProgress Progress() {
    if (!dialog_) return {};
    return [this](int done, int) {
      dialog_->setValue(done);
      QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
  }

 private:
  bool cursor_ = false;
  std::unique_ptr<QProgressDialog> dialog_;
};

// The directory the file went to, absolute: names are relative to the current directory.
QString SavedInText(const std::string& fileName) {
  const QFileInfo file(QString::fromUtf8(fileName.c_str()));
  return QString::fromUtf8(kSavedIn).arg(QDir::toNativeSeparators(file.absolutePath()));
}

}  // namespace

std::string ExcelSuccessText(const std::string& fileName, int sheetsUsed) {
  QString text = QString::fromUtf8(kExcelSuccess).arg(QString::fromUtf8(fileName.c_str()));
  if (sheetsUsed > 1) text += QString::fromUtf8(kExcelSpillNote).arg(sheetsUsed);
  return text.toStdString();
}

// An empty list (no query yet, or a failed one) is not exported: a file without rows and a
// success message would pass for a result.
static bool RefuseEmpty(QWidget* owner, const res::TextRows& list) {
  if (!owner || list.rowCount() > 0) return false;
  platform::MessageBox(owner, QString::fromUtf8(kNothingToExport));
  return true;
}

ExportOutcome ExportPdf(QWidget* owner, const res::TextRows& list, const std::string& fileName) {
  if (RefuseEmpty(owner, list)) return {};
  const std::string name = fileName.empty() ? ReportFileName(".pdf") : fileName;
  ExportOutcome outcome;
  {
    ExportBusy busy(owner, list.rowCount(), QStringLiteral("正在导出PDF…"));
    outcome = WritePdfReport(list, name, busy.Progress());
  }
  // A library error was printed by the error handler; like a failed document, it shows no box.
  if (outcome.ok && owner) platform::InformativeMessageBox(owner, QString::fromUtf8(kPdfSuccess), SavedInText(name));
  return outcome;
}

ExportOutcome ExportExcel(QWidget* owner, const res::TextRows& list, const std::string& fileName) {
  if (RefuseEmpty(owner, list)) return {};
  const std::string name = fileName.empty() ? ReportFileName(".xls") : fileName;
  ExportOutcome outcome;
  {
    ExportBusy busy(owner, list.rowCount(), QStringLiteral("正在导出EXCEL…"));
    outcome = WriteExcelReport(list, name, busy.Progress());
  }
  if (owner && outcome.ok)
    platform::InformativeMessageBox(owner, QString::fromStdString(ExcelSuccessText(name, outcome.sheetsUsed)),
                                    SavedInText(name));
  else if (owner)
    platform::MessageBox(owner, QString::fromUtf8(kExcelFailure));
  return outcome;
}

ExportOutcome ExportCurvePdf(QWidget* owner, const QImage& chart, const std::string& fileName) {
  ExportOutcome outcome;
  outcome.fileName = fileName.empty() ? ReportFileName(".pdf") : fileName;
  QBuffer document;
  document.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&document);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageOrientation(QPageLayout::Landscape);
    writer.setResolution(150);
    writer.setTitle(QString::fromUtf8(kCurveTitle));
    QPainter painter;
    if (!chart.isNull() && painter.begin(&writer)) {
      const QRect page = painter.viewport();
      QFont font = painter.font();
      font.setPixelSize(page.height() / 24);
      painter.setFont(font);
      const QRect titleArea(page.left(), page.top(), page.width(), page.height() / 12);
      painter.drawText(titleArea, Qt::AlignCenter, QString::fromUtf8(kCurveTitle));
      const QRect imageArea(page.left(), titleArea.bottom(), page.width(), page.height() - titleArea.height());
      const QSize fitted = chart.size().scaled(imageArea.size(), Qt::KeepAspectRatio);
      painter.drawImage(
          QRect(QPoint(imageArea.left() + (imageArea.width() - fitted.width()) / 2, imageArea.top()), fitted), chart);
      outcome.ok = painter.end();
    }
  }
  // Built in memory, then saved safely: a failed save keeps an earlier file of that name.
  const QByteArray& bytes = document.data();
  if (outcome.ok && !bytes.isEmpty())
    outcome.ok = platform::SaveFileContents(
        outcome.fileName, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), &outcome.error);
  else
    outcome.ok = false;
  if (owner && outcome.ok)
    platform::InformativeMessageBox(owner, QString::fromUtf8(kPdfSuccess), SavedInText(outcome.fileName));
  else if (owner)
    platform::MessageBox(owner, QString::fromUtf8(kExcelFailure));
  return outcome;
}
