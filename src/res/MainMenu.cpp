#include "MainMenu.h"

#include "ResourceIds.h"

namespace res {
namespace {

constexpr MenuCommand kLiveViewPopup[] = {
    {ID_SHOW_TABLE, "表格显示"},
    {ID_SHOW_CURVES, "曲线显示"},
    {ID_SHOW_TILES, "图表显示"},
};

constexpr MenuCommand kAdministrationPopup[] = {
    {ID_USER_MANAGE, "用户管理"},     {ID_COMPANY_DEPT, "公司部门"}, {ID_DEVICE_MANAGE, "设备管理"},
    {ID_USER_PERMISSION, "用户权限"}, {ID_AUDIT_LOG, "审计记录"},
};

constexpr MenuCommand kFilePopup[] = {
    {ID_FILE_NEW, "新建"},
    {ID_FILE_OPEN, "打开..."},
    {ID_FILE_SAVE, "保存"},
    {ID_FILE_SAVE_AS, "另存为..."},
    {ID_FILE_PRINT, "打印..."},
    {ID_FILE_PRINT_PREVIEW, "打印预览"},
    {ID_FILE_PRINT_SETUP, "打印设置..."},
    {ID_APP_EXIT, "退出"},
};
constexpr MenuCommand kEditPopup[] = {
    {ID_EDIT_UNDO, "撤消"},
    {ID_EDIT_CUT, "剪切"},
    {ID_EDIT_COPY, "复制"},
    {ID_EDIT_PASTE, "粘贴"},
};
constexpr MenuCommand kViewPopup[] = {
    {ID_VIEW_TOOLBAR, "工具栏"},
    {ID_VIEW_STATUS_BAR, "状态栏"},
};
constexpr MenuCommand kHelpPopup[] = {
    {ID_APP_ABOUT, "关于 Veltrane"},
};
constexpr MenuCommand kConnectPopup[] = {
    {ID_CONNECT, "连接..."},
    {ID_CONNECT_SETTINGS, "连接设置"},
};

constexpr MenuBarEntry kMainMenuBar[] = {
    {"实时数据显示", 0, kLiveViewPopup},
    {"根据左边栏更新", ID_UPDATE_FROM_TREE, {}},
    {"历史数据查询", ID_HISTORY_QUERY, {}},
    {"系统管理", 0, kAdministrationPopup},
    {"图表上一页", ID_TILE_PREV_PAGE, {}},
    {"图表下一页", ID_TILE_NEXT_PAGE, {}},
    // Untitled entries after the visible ones.
    {"", 0, kFilePopup, kMenuGrayed},
    {"", 0, kEditPopup, kMenuGrayed},
    {"", 0, kViewPopup, kMenuGrayed},
    {"帮助", 0, kHelpPopup},  // the only titled one: the about box must be reachable
    {"", 0, kConnectPopup},
    {"", ID_DB_CLOSE, {}, kMenuGrayed},
};

}  // namespace

std::span<const MenuBarEntry> MainMenuBar() { return kMainMenuBar; }

}  // namespace res
