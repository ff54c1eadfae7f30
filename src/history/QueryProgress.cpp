#include "QueryProgress.h"

#include <QApplication>
#include <QProgressBar>
#include <QProgressDialog>

namespace history {
namespace {
constexpr const char* kProgressLabel = "正在查询…";
constexpr const char* kProgressFormat = "%v/%m";
}  // namespace

QueryProgress::QueryProgress(QWidget* parent, int totalDevices) : parent_(parent), total_(totalDevices) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  timer_.start();
}

QueryProgress::~QueryProgress() {
  delete dialog_;
  QApplication::restoreOverrideCursor();
}

void QueryProgress::DeviceDone(int done) {
  if (!dialog_ && timer_.elapsed() >= kShowAfterMs && done < total_) {
    dialog_ = new QProgressDialog(QString::fromUtf8(kProgressLabel), QString(), 0, total_, parent_);
    auto* bar = new QProgressBar(dialog_);
    bar->setFormat(QString::fromUtf8(kProgressFormat));
    dialog_->setBar(bar);
    dialog_->setRange(0, total_);
    dialog_->setWindowModality(Qt::WindowModal);
    dialog_->setMinimumDuration(0);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->show();
  }
  if (!dialog_) return;
  dialog_->setValue(done);
  // Let the window paint; user input stays queued so no handler runs in between.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace history
