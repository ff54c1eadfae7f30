#include "HeadlessExport.h"

#include <QApplication>
#include <QDate>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "AppConfig.h"
#include "CHistoryTablePage.h"
#include "DbSession.h"
#include "Gbk.h"
#include "HistoryExport.h"
#include "HistoryTextExport.h"
#include "HistoryTableQuery.h"
#include "LoginCheck.h"
#include "LoginState.h"
#include "PdfReport.h"

namespace {

enum ExitStatus { kOk = 0, kBadArguments = 2, kDatabaseDown = 3, kLoginRefused = 4, kNotGranted = 5, kFailed = 6 };

constexpr const char* kUsage =
    "用法: veltrane --export pdf|xls|csv|summary --user 用户名 --password 密码 --role 1|2 --devices ID[,ID…]\n"
    "               --from YYYY-MM-DD --to YYYY-MM-DD [--temperature 0-3] [--humidity 0-3] [--output 文件]\n"
    "               [--encoding utf-8|gbk]\n"
    "  --role 1 管理员, 2 普通用户; --temperature/--humidity 0 正常, 1 高, 2 低, 3 不限 (默认)\n"
    "  csv: 表格页的全部列; summary: 每台设备的统计 (文件名以 .xls 结尾时为工作簿, 否则为制表符分隔的文本)\n"
    "  --encoding: csv 和 summary 文本的编码, 默认 utf-8 (带 BOM)\n";

// A normal user may export only devices of departments granted to them.
constexpr const char* kGrantedDeviceSql =
    "select device_tab.device_num from device_tab,permission_tab where permission_tab.user_name='%s' "
    "and device_tab.company_num=permission_tab.company_num "
    "and device_tab.department_num=permission_tab.department_num and device_tab.device_num='%s'";

struct Request {
  std::string format, user, password, output;
  int role = 0;
  std::vector<std::string> devices;  // UTF-8 as given
  QDate from, to;
  int temperatureFilter = 3, humidityFilter = 3;
  history::TextEncoding encoding = history::TextEncoding::kUtf8Bom;
};

int Fail(int status, const std::string& message) {
  std::fprintf(stderr, "veltrane: %s\n", message.c_str());
  if (status == kBadArguments) std::fputs(kUsage, stderr);
  return status;
}

std::vector<std::string> SplitList(const std::string& text) {
  std::vector<std::string> items;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t comma = text.find(',', start);
    const std::string item = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    if (!item.empty()) items.push_back(item);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return items;
}

std::optional<int> SmallNumber(const std::string& text, int low, int high) {
  if (text.size() != 1 || text[0] < '0' || text[0] > '9') return std::nullopt;
  const int value = text[0] - '0';
  if (value < low || value > high) return std::nullopt;
  return value;
}

// Parses the options; returns an error text or empty.
std::string Parse(int argc, char** argv, Request& r) {
  std::map<std::string, std::string> values;
  static const char* const kKnown[] = {"--export", "--user", "--password", "--role", "--devices", "--from",
                                       "--to", "--temperature", "--humidity", "--output", "--encoding"};
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    bool known = false;
    for (const char* k : kKnown) known |= option == k;
    if (!known) return "未知参数 " + option;
    if (i + 1 >= argc) return "参数 " + option + " 缺少值";
    if (values.count(option)) return "参数 " + option + " 重复";
    values[option] = argv[++i];
  }
  for (const char* required : {"--export", "--user", "--password", "--role", "--devices", "--from", "--to"})
    if (!values.count(required)) return std::string("缺少参数 ") + required;
  r.format = values["--export"];
  if (r.format != "pdf" && r.format != "xls" && !history::IsTextExportFormat(r.format))
    return "--export 只能是 pdf、xls、csv 或 summary";
  if (values.count("--encoding") && !history::ParseTextEncoding(values["--encoding"], r.encoding))
    return "--encoding 只能是 utf-8 或 gbk";
  r.user = values["--user"];
  r.password = values["--password"];
  const auto role = SmallNumber(values["--role"], 1, 2);
  if (!role) return "--role 只能是 1 或 2";
  r.role = *role;
  r.devices = SplitList(values["--devices"]);
  if (r.devices.empty()) return "--devices 不能为空";
  r.from = QDate::fromString(QString::fromStdString(values["--from"]), QStringLiteral("yyyy-MM-dd"));
  r.to = QDate::fromString(QString::fromStdString(values["--to"]), QStringLiteral("yyyy-MM-dd"));
  if (!r.from.isValid() || !r.to.isValid()) return "日期格式应为 YYYY-MM-DD";
  if (r.to < r.from) return "时间段选择错误!";
  for (const auto& [option, target] : {std::pair{"--temperature", &r.temperatureFilter}, {"--humidity", &r.humidityFilter}}) {
    if (!values.count(option)) continue;
    const auto filter = SmallNumber(values[option], 0, 3);
    if (!filter) return std::string(option) + " 只能是 0 到 3";
    *target = *filter;
  }
  r.output = values.count("--output") ? values["--output"] : std::string();
  return {};
}

}  // namespace

bool IsHeadlessExportRequest(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--export") == 0) return true;
  return false;
}

int RunHeadlessExport(int argc, char** argv) {
  // No display needed: the table page is never shown.
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // Under cron there is no runtime directory; give Qt a private one instead of a warning.
  if (!std::getenv("XDG_RUNTIME_DIR")) {
    const std::string runtime = "/tmp/runtime-" + std::to_string(::getuid());
    ::mkdir(runtime.c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  }
  QApplication app(argc, argv);

  Request request;
  if (const std::string error = Parse(argc, argv, request); !error.empty()) return Fail(kBadArguments, error);
  // Text without a GBK form would reach the server as "?" and could match another account or device.
  for (const std::string* text : {&request.user, &request.password})
    if (!platform::GbkCanHold(QString::fromStdString(*text))) return Fail(kBadArguments, "用户名或密码含有无法识别的字符");
  for (const std::string& device : request.devices)
    if (!platform::GbkCanHold(QString::fromStdString(device))) return Fail(kBadArguments, "设备 " + device + " 含有无法识别的字符");

  // A failed connect is reported once, here, together with the exit status.
  Db().SetConnectFailureReporting(false);
  LoadConfig();
  if (!Db().connected)
    return Fail(kDatabaseDown, "数据库连接失败,请检查 Corvane.ini 中的数据库参数: " + Db().LastConnectFailure() +
                                   " (exit status " + std::to_string(kDatabaseDown) + ")");

  const std::string name = platform::Utf8ToGbk(request.user);
  switch (CheckLogin(name, platform::Utf8ToGbk(request.password), request.role)) {
    case LoginCheckResult::kAccepted: break;
    case LoginCheckResult::kDatabaseUnreachable: return Fail(kDatabaseDown, "数据库连接失败!");
    case LoginCheckResult::kRefused: return Fail(kLoginRefused, "用户名或密码错误!");
    case LoginCheckResult::kQueryFailed: return Fail(kFailed, "登录查询失败");
  }
  currentUserName = name;
  currentUserRole = request.role;

  std::vector<std::string> deviceIds;
  for (const std::string& device : request.devices) {
    const std::string id = platform::Utf8ToGbk(device);
    if (currentUserRole != kRoleAdministrator) {
      const DbResult granted = Db().Select(Db().Format(kGrantedDeviceSql, {name, id}));
      if (!granted.ok) return Fail(kFailed, "权限查询失败");
      if (granted.rows.empty()) return Fail(kNotGranted, "设备 " + device + " 不在该用户的授权部门内");
    }
    deviceIds.push_back(id);
  }

  // The text exports stream from the server and need no table page.
  if (history::IsTextExportFormat(request.format)) {
    const history::TextExportOutcome text = history::RunTextExport(
        {request.format, deviceIds, request.from, request.to, request.temperatureFilter, request.humidityFilter,
         request.encoding, request.output});
    if (!text.ok) return Fail(kFailed, text.message);
    std::printf("%s\n", text.fileName.c_str());
    std::fprintf(stderr, "veltrane: %lld 条记录\n", text.rowCount);
    return kOk;
  }

  CHistoryTablePage page;
  const HistoryTableQueryOutcome query = QueryHistoryIntoPage(page, deviceIds, request.from, request.to,
                                                              request.temperatureFilter, request.humidityFilter);
  if (!query.ok) return Fail(kFailed, "历史数据查询失败");

  const res::TextRows& rows = page.ResultList()->Rows();
  const ExportOutcome outcome =
      request.format == "pdf" ? ExportPdf(nullptr, rows, request.output) : ExportExcel(nullptr, rows, request.output);
  // The reason too (a full disk, a size limit): an earlier file of that name is kept.
  if (!outcome.ok)
    return Fail(kFailed, "导出失败: " + outcome.fileName + (outcome.error.empty() ? "" : " (" + outcome.error + ")"));
  std::printf("%s\n", outcome.fileName.c_str());
  std::fprintf(stderr, "veltrane: %lld 条记录\n", query.rowCount);
  return kOk;
}
