// The menu bar table: the frame finds entries by bar position and routes commands by id, so
// the positions must hold the commands they are named for and no id may be given twice.
#include <gtest/gtest.h>

#include <QSet>
#include <QString>
#include <algorithm>

#include "MainMenu.h"
#include "ResourceIds.h"

namespace res {
namespace {

bool PopupHolds(const MenuBarEntry& entry, int id) {
  return std::any_of(entry.popup.begin(), entry.popup.end(), [id](const MenuCommand& c) { return c.id == id; });
}

TEST(MainMenu, EachEntryIsOneCommandOrAPopupAndEveryIdIsGivenOnce) {
  QSet<int> ids;
  const auto expectNew = [&ids](int id) {
    EXPECT_GT(id, 0);
    EXPECT_FALSE(ids.contains(id)) << "id " << id << " given twice";
    ids.insert(id);
  };
  for (const MenuBarEntry& entry : MainMenuBar()) {
    SCOPED_TRACE(entry.text);
    // There are no separators: every popup item is a command with a caption.
    EXPECT_NE(entry.id == 0, entry.popup.empty());
    if (entry.id != 0) expectNew(entry.id);
    for (const MenuCommand& command : entry.popup) {
      expectNew(command.id);
      EXPECT_FALSE(QString::fromUtf8(command.text).trimmed().isEmpty()) << command.id;
    }
  }
}

TEST(MainMenu, BarPositionsHoldTheirCommandsAndOnlyHiddenEntriesAreGrayed) {
  const auto bar = MainMenuBar();
  ASSERT_GT(bar.size(), std::size_t(kMenuPosTileNextPage));
  EXPECT_TRUE(PopupHolds(bar[kMenuPosLiveView], ID_SHOW_TABLE));
  EXPECT_TRUE(PopupHolds(bar[kMenuPosLiveView], ID_SHOW_CURVES));
  EXPECT_TRUE(PopupHolds(bar[kMenuPosLiveView], ID_SHOW_TILES));
  EXPECT_EQ(bar[kMenuPosUpdateFromTree].id, ID_UPDATE_FROM_TREE);
  EXPECT_EQ(bar[kMenuPosHistory].id, ID_HISTORY_QUERY);
  for (int id : {int(ID_USER_MANAGE), int(ID_COMPANY_DEPT), int(ID_DEVICE_MANAGE), int(ID_USER_PERMISSION)})
    EXPECT_TRUE(PopupHolds(bar[kMenuPosAdministration], id)) << id;
  EXPECT_EQ(bar[kMenuPosTilePrevPage].id, ID_TILE_PREV_PAGE);
  EXPECT_EQ(bar[kMenuPosTileNextPage].id, ID_TILE_NEXT_PAGE);

  // The frame hides untitled entries; a titled grayed one would be shown but dead. The about
  // box sits in a titled, usable popup.
  int aboutEntries = 0;
  for (const MenuBarEntry& entry : bar) {
    const bool titled = !QString::fromUtf8(entry.text).isEmpty();
    EXPECT_FALSE(titled && (entry.flags & kMenuGrayed)) << entry.text;
    if (PopupHolds(entry, ID_APP_ABOUT)) aboutEntries += titled;
  }
  EXPECT_EQ(aboutEntries, 1);
}

}  // namespace
}  // namespace res
