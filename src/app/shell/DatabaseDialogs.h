#pragma once
// The modal dialogs the main frame opens while it holds the database: history query and the
// four administration dialogs, created by command id.
#include <QDialog>
#include <functional>
#include <memory>

using DialogFactory = std::function<std::unique_ptr<QDialog>(QWidget* parent)>;

// The dialog for a database command, or an empty factory when the command opens none.
DialogFactory DatabaseDialogFactory(int commandId);
