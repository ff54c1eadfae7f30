#include "HeadlessExport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "AppConfig.h"
#include "AuditTrail.h"
#include "Catalogue.h"
#include "ExcelReport.h"
#include "Gbk.h"
#include "HistoryRowModel.h"
#include "HistoryTableQuery.h"
#include "HistoryTextExport.h"
#include "LoginCheck.h"
#include "LoginState.h"
#include "PdfReport.h"
#include "ReportColumns.h"
#include "SecretFile.h"
#include "StationDb.h"

namespace {

// Bad arguments (2) are refused by the command line before the export runs.
enum ExitStatus { kOk = 0, kDatabaseDown = 3, kLoginRefused = 4, kUnknownOrNotGranted = 5, kFailed = 6 };

// The kinds of report --export writes; a new kind is one more line here.
struct ExportKind {
  const char* name;
  const char* extension;  // of the time-based name
  // Null for the text kinds, which stream from the server to the file and keep no rows.
  ExportOutcome (*write)(const res::TextRows& rows, const std::string& fileName);
};
constexpr ExportKind kExportKinds[] = {
    {"pdf", ".pdf", [](const res::TextRows& rows, const std::string& file) { return WritePdfReport(rows, file); }},
    {"xls", ".xls", [](const res::TextRows& rows, const std::string& file) { return WriteExcelReport(rows, file); }},
    {"csv", nullptr, nullptr},
    {"summary", nullptr, nullptr},
    {"events", nullptr, nullptr},
};

struct ExportOption {
  const char* name;
  const char* valueName;  // UTF-8
  const char* help;       // UTF-8
};
constexpr ExportOption kExportOptions[] = {
    {"export", "种类", "写出历史报表, 不打开窗口"},
    {"user", "用户名", "登录用户"},
    {"password", "密码", "登录密码 (会出现在进程列表中, 定时任务请用 --password-file)"},
    {"password-file", "文件", "从文件首行读取密码; 文件只能由属主读取 (chmod 600)"},
    {"role", "1|2", "用户类型: 1 管理员, 2 普通用户"},
    {"devices", "ID[,ID…]", "设备编号, 逗号分隔"},
    {"from", "YYYY-MM-DD", "开始日期"},
    {"to", "YYYY-MM-DD", "结束日期"},
    {"temperature", "0-3", "温度筛选: 0 正常, 1 高温, 2 低温, 3 不限 (默认)"},
    {"humidity", "0-3", "湿度筛选: 0 正常, 1 高湿, 2 低湿, 3 不限 (默认)"},
    {"output", "文件", "输出文件 (默认: 当前目录下以时间命名)"},
    {"encoding", "utf-8|gbk",
     "csv、summary 和 events 文本的编码, 默认 utf-8 (带 BOM); summary 和 events 的文件名以 .xls 结尾时为工作簿"},
};
constexpr const char* kRequiredOptions[] = {"export", "user", "role", "devices", "from", "to"};
constexpr const char* kPasswordVariable = "VELTRANE_PASSWORD";

std::string KindNames(const char* separator) {
  std::string names;
  for (const ExportKind& kind : kExportKinds) names += (names.empty() ? "" : separator) + std::string(kind.name);
  return names;
}

const ExportKind* KindNamed(const std::string& name) {
  for (const ExportKind& kind : kExportKinds)
    if (name == kind.name) return &kind;
  return nullptr;
}

int Fail(int status, const std::string& message) {
  std::fprintf(stderr, "veltrane: %s\n", message.c_str());
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

}  // namespace

void AddExportOptions(QCommandLineParser& parser) {
  for (const ExportOption& option : kExportOptions)
    parser.addOption(QCommandLineOption(QString::fromLatin1(option.name), QString::fromUtf8(option.help),
                                        QString::fromUtf8(option.valueName)));
}

std::string ExportUsage() {
  return "用法: veltrane --export " + KindNames("|") +
         " --user 用户名 (--password 密码 | --password-file 文件) --role 1|2\n"
         "               --devices ID[,ID…] --from YYYY-MM-DD --to YYYY-MM-DD [--temperature 0-3] [--humidity 0-3]\n"
         "               [--output 文件] [--encoding utf-8|gbk]\n";
}

std::string ExportHelp() {
  std::string text = "定时报表 (不打开窗口, 导出历史数据):\n" + ExportUsage() + "\n";
  for (const ExportOption& option : kExportOptions) {
    const std::string left = std::string("  --") + option.name + " " + option.valueName;
    int width = 0;  // terminal columns: CJK characters take two
    for (const QChar c : QString::fromStdString(left)) width += c.unicode() >= 0x2E80 ? 2 : 1;
    text += left + std::string(width < 29 ? 29 - width : 1, ' ') + option.help + "\n";
  }
  text += std::string("  没有 --password 和 --password-file 时, 密码取自环境变量 ") + kPasswordVariable + "。\n";
  return text;
}

bool WantsExport(const QCommandLineParser& parser) { return parser.isSet(QStringLiteral("export")); }

std::string ReadExportRequest(const QCommandLineParser& parser, ExportRequest& r) {
  const auto value = [&](const char* name) { return parser.value(QString::fromLatin1(name)).toStdString(); };
  const auto given = [&](const char* name) { return parser.isSet(QString::fromLatin1(name)); };
  for (const ExportOption& option : kExportOptions)
    if (parser.values(QString::fromLatin1(option.name)).size() > 1)
      return std::string("参数 --") + option.name + " 重复";
  for (const char* required : kRequiredOptions)
    if (!given(required)) return std::string("缺少参数 --") + required;
  r.format = value("export");
  if (!KindNamed(r.format)) return "--export 只能是 " + KindNames(" 或 ");
  r.user = value("user");
  if (given("password") && given("password-file")) return "--password 和 --password-file 只能给一个";
  if (given("password")) {
    r.password = value("password");
  } else if (given("password-file")) {
    const platform::SecretFileResult secret = platform::ReadSecretFile(value("password-file"));
    if (!secret.ok) return secret.error;
    r.password = secret.secret;
  } else if (const char* fromEnvironment = std::getenv(kPasswordVariable)) {
    r.password = fromEnvironment;
  } else {
    return std::string("缺少参数 --password 或 --password-file (或环境变量 ") + kPasswordVariable + ")";
  }
  const auto role = SmallNumber(value("role"), 1, 2);
  if (!role) return "--role 只能是 1 或 2";
  r.role = *role;
  r.devices = SplitList(value("devices"));
  if (r.devices.empty()) return "--devices 不能为空";
  r.from = QDate::fromString(QString::fromStdString(value("from")), QStringLiteral("yyyy-MM-dd"));
  r.to = QDate::fromString(QString::fromStdString(value("to")), QStringLiteral("yyyy-MM-dd"));
  if (!r.from.isValid() || !r.to.isValid()) return "日期格式应为 YYYY-MM-DD";
  if (r.to < r.from) return "时间段选择错误!";
  for (const auto& [option, target] :
       {std::pair{"temperature", &r.temperatureFilter}, {"humidity", &r.humidityFilter}}) {
    if (!given(option)) continue;
    const auto filter = SmallNumber(value(option), 0, 3);
    if (!filter) return std::string("--") + option + " 只能是 0 到 3";
    *target = *filter;
  }
  r.output = given("output") ? value("output") : std::string();
  if (given("encoding") && !history::ParseTextEncoding(value("encoding"), r.encoding))
    return "--encoding 只能是 utf-8 或 gbk";
  // Text without a GBK form would reach the server as "?" and could match another account or device.
  for (const std::string* text : {&r.user, &r.password})
    if (!platform::GbkCanHold(QString::fromStdString(*text))) return "用户名或密码含有无法识别的字符";
  for (const std::string& device : r.devices)
    if (!platform::GbkCanHold(QString::fromStdString(device))) return "设备 " + device + " 含有无法识别的字符";
  return {};
}

namespace {

// An export is audited after its file is written; a row that cannot be written is told on
// stderr and leaves the export's outcome as it is (the file exists either way).
void AuditOrWarn(const Actor& actor, AuditAction action, const std::string& key, const std::string& value) {
  if (!RecordAudit(Db(), actor, action, key, {}, value))
    std::fprintf(stderr, "veltrane: 审计记录未能写入: %s\n", Db().LastError().c_str());
}

// What an export's audit row says: the devices, the range and the file (GBK).
std::string ExportDescription(const ExportRequest& request, const std::string& fileName) {
  std::string devices;
  for (const std::string& device : request.devices) devices += (devices.empty() ? "" : ",") + device;
  return platform::Utf8ToGbk(devices + " " + request.from.toString(Qt::ISODate).toStdString() + ".." +
                             request.to.toString(Qt::ISODate).toStdString() + " -> " + fileName);
}

struct ExportFailure {
  int status;
  std::string message;
  bool linkLost;  // the link to the server broke (and the export may be run again)
};

std::optional<ExportFailure> Failure(int status, std::string message) {
  return ExportFailure{status, std::move(message), DbSession::IsLinkError(Db().LastErrorNumber())};
}

// The devices checked, the query run and the file written; nullopt on success.
std::optional<ExportFailure> ExportOnce(const ExportRequest& request, const std::string& name, const Actor& actor) {
  std::vector<std::string> deviceIds;
  for (const std::string& device : request.devices) {
    const std::string id = platform::Utf8ToGbk(device);
    // A mistyped id in a scheduled job would otherwise write an empty report and succeed.
    const DbResult known = catalogue::Device(Db(), id);
    if (!known.ok) return Failure(kFailed, "设备查询失败");
    if (known.rows.empty()) return ExportFailure{kUnknownOrNotGranted, "设备 " + device + " 不存在", false};
    if (!catalogue::SeesEveryDevice(request.role)) {
      const DbResult granted = catalogue::GrantedDevice(Db(), name, id);
      if (!granted.ok) return Failure(kFailed, "权限查询失败");
      if (granted.rows.empty())
        return ExportFailure{kUnknownOrNotGranted, "设备 " + device + " 不在该用户的授权部门内", false};
    }
    deviceIds.push_back(id);
  }

  // The text exports stream from the server to the file.
  if (history::IsTextExportFormat(request.format)) {
    const history::TextExportOutcome text =
        history::RunTextExport(Db(), {request.format, deviceIds, request.from, request.to, request.temperatureFilter,
                                      request.humidityFilter, request.encoding, request.output});
    if (!text.ok) return Failure(kFailed, text.message);
    std::printf("%s\n", text.fileName.c_str());
    std::fprintf(stderr, "veltrane: %lld 条记录\n", text.rowCount);
    AuditOrWarn(actor, AuditAction::kExport, request.format, ExportDescription(request, text.fileName));
    return std::nullopt;
  }

  // The same compact store as the table page's list, read by the same writers.
  history::HistoryRowModel rows;
  const HistoryTableQueryOutcome query = QueryHistoryIntoRows(Db(), rows, deviceIds, request.from, request.to,
                                                              request.temperatureFilter, request.humidityFilter);
  if (!query.ok) return Failure(kFailed, "历史数据查询失败");

  const ExportKind& kind = *KindNamed(request.format);
  const std::string fileName = request.output.empty() ? ReportFileName(kind.extension) : request.output;
  const ExportOutcome outcome = kind.write(rows, fileName);
  // The reason too (a full disk, a size limit): an earlier file of that name is kept.
  if (!outcome.ok)
    return ExportFailure{
        kFailed, "导出失败: " + outcome.fileName + (outcome.error.empty() ? "" : " (" + outcome.error + ")"), false};
  std::printf("%s\n", outcome.fileName.c_str());
  std::fprintf(stderr, "veltrane: %lld 条记录\n", query.rowCount);
  AuditOrWarn(actor, AuditAction::kExport, request.format, ExportDescription(request, outcome.fileName));
  return std::nullopt;
}

}  // namespace

int RunHeadlessExport(int argc, char** argv, const ExportRequest& request) {
  // Under cron there is no runtime directory; give Qt a private one instead of a warning.
  if (!std::getenv("XDG_RUNTIME_DIR")) {
    const std::string runtime = "/tmp/runtime-" + std::to_string(::getuid());
    ::mkdir(runtime.c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  }
  // No windows: the rows go from the query to the writers without a table page.
  QCoreApplication app(argc, argv);

  // A failed connect is reported once, here, together with the exit status.
  Db().SetConnectFailureReporting(false);
  ConnectWithConfig(Db(), LoadConfig());
  if (!Db().LastConnectSucceeded())
    return Fail(kDatabaseDown, "数据库连接失败,请检查 Corvane.ini 中的数据库参数: " + Db().LastConnectFailure() +
                                   " (exit status " + std::to_string(kDatabaseDown) + ")");

  const std::string name = platform::Utf8ToGbk(request.user);
  const LoginCheckResult login = CheckLogin(Db(), name, platform::Utf8ToGbk(request.password), request.role);
  const Actor actor{name, StationHostName(),
                    login != LoginCheckResult::kDatabaseUnreachable && AuditTablesPresent(Db())};
  if (login == LoginCheckResult::kAccepted || login == LoginCheckResult::kRefused)
    AuditOrWarn(actor, login == LoginCheckResult::kAccepted ? AuditAction::kLoginAccepted : AuditAction::kLoginRefused,
                name, std::to_string(request.role));
  switch (login) {
    case LoginCheckResult::kAccepted: break;
    case LoginCheckResult::kDatabaseUnreachable: return Fail(kDatabaseDown, "数据库连接失败!");
    case LoginCheckResult::kRefused: return Fail(kLoginRefused, "用户名或密码错误!");
    case LoginCheckResult::kQueryFailed: return Fail(kFailed, "登录查询失败");
  }

  // A server that goes away under the export (a cluster node failing over) costs one more
  // run on a new connection: everything the export does before its file is a read, and the
  // file is saved whole or not at all.
  std::optional<ExportFailure> failure = ExportOnce(request, name, actor);
  if (failure && failure->linkLost) {
    Db().ConnectDatabase();
    if (!Db().LastConnectSucceeded())
      return Fail(kDatabaseDown, "数据库连接失败: " + Db().LastConnectFailure() + " (exit status " +
                                     std::to_string(kDatabaseDown) + ")");
    failure = ExportOnce(request, name, actor);
  }
  return failure ? Fail(failure->status, failure->message) : kOk;
}
