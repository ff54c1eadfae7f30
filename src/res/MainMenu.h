#pragma once
// The main window's menu bar (menu 128) as data: top-level entries in bar order, each either a
// command of its own or a popup of commands. The frame enables and greys entries by their
// position in the bar, so the order here is part of the interface.
#include <span>

namespace res {

enum MainMenuCommand : int {
  ID_CONNECT = 32771,
  ID_CONNECT_SETTINGS = 32772,
  ID_SHOW_TABLE = 32773,
  ID_SHOW_CURVES = 32774,
  ID_USER_MANAGE = 32775,
  ID_DEVICE_MANAGE = 32776,
  ID_USER_PERMISSION = 32777,
  ID_COMPANY_DEPT = 32778,
  ID_HISTORY_QUERY = 32779,
  ID_SHOW_TILES = 32780,
  ID_TILE_PREV_PAGE = 32781,
  ID_TILE_NEXT_PAGE = 32782,
  ID_DB_CLOSE = 32783,
  ID_UPDATE_FROM_TREE = 32784,
  ID_AUDIT_LOG = 32790,
  // Framework stock commands kept in the untitled popups.
  ID_FILE_SAVE = 57603,
  ID_FILE_SAVE_AS = 57604,
  ID_FILE_PRINT = 57607,
  ID_FILE_PRINT_PREVIEW = 57609,
  ID_APP_EXIT = 57665,
  ID_EDIT_COPY = 57634,
  ID_EDIT_CUT = 57635,
  ID_EDIT_PASTE = 57637,
  ID_EDIT_UNDO = 57643,
  ID_VIEW_TOOLBAR = 59392,
  ID_VIEW_STATUS_BAR = 59393,
};

// Bar positions the frame enables and greys.
enum MainMenuPosition : int {
  kMenuPosLiveView = 0,
  kMenuPosUpdateFromTree = 1,
  kMenuPosHistory = 2,
  kMenuPosAdministration = 3,
  kMenuPosTilePrevPage = 4,
  kMenuPosTileNextPage = 5,
};

struct MenuCommand {
  int id;
  const char* text;  // UTF-8
};

enum MenuEntryFlag : unsigned { kMenuNoFlags = 0, kMenuGrayed = 1u << 0 };

struct MenuBarEntry {
  const char* text;  // UTF-8; empty: the entry shows no text in the bar
  int id;            // the entry's own command; 0 for a popup
  std::span<const MenuCommand> popup;
  unsigned flags = kMenuNoFlags;
};

std::span<const MenuBarEntry> MainMenuBar();

}  // namespace res
