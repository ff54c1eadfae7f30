#include "CommandLine.h"

#include <QCommandLineParser>
#include <cstdio>

namespace {

constexpr const char* kStationHelp =
    "用法: veltrane [选项]\n"
    "温湿度智能监控系统。不带参数时打开监控窗口; Corvane.ini 从当前目录读取, 不存在时以默认值创建。\n"
    "\n"
    "  -h, --help                 显示本帮助并退出\n"
    "  -v, --version              显示版本并退出\n"
    "\n";
constexpr const char* kStationHelpEnd =
    "\n退出状态: 0 成功, 2 参数错误, 3 数据库不可达, 4 登录被拒绝, 5 设备不存在或未授权, 6 查询或写入失败。\n"
    "详见 man veltrane。\n";

// QApplication's own options and whether they take a value; they pass through untouched.
struct QtOption {
  const char* name;
  bool takesValue;
};
constexpr QtOption kQtOptions[] = {
    {"platform", true},        {"platformpluginpath", true},
    {"platformtheme", true},   {"plugin", true},
    {"qwindowgeometry", true}, {"qwindowicon", true},
    {"qwindowtitle", true},    {"style", true},
    {"stylesheet", true},      {"session", true},
    {"display", true},         {"geometry", true},
    {"reverse", false},        {"widgetcount", false},
};

const QtOption* QtOptionNamed(const QString& argument) {
  if (!argument.startsWith(u'-')) return nullptr;
  QString name = argument.mid(argument.startsWith(QStringLiteral("--")) ? 2 : 1);
  name = name.section(u'=', 0, 0);
  for (const QtOption& option : kQtOptions)
    if (name == QLatin1String(option.name)) return &option;
  return nullptr;
}

QStringList WithoutQtOptions(const QStringList& arguments) {
  QStringList kept;
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QtOption* qt = i > 0 ? QtOptionNamed(arguments[i]) : nullptr;
    if (!qt) {
      kept << arguments[i];
      continue;
    }
    if (qt->takesValue && !arguments[i].contains(u'=')) ++i;
  }
  return kept;
}

CommandLine Bad(std::string text) {
  CommandLine command;
  command.action = CommandAction::kBadArguments;
  command.text = std::move(text);
  return command;
}

}  // namespace

QStringList ArgumentsOf(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  return arguments;
}

CommandLine ParseCommandLine(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
  const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
  const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
  parser.addOption(help);
  parser.addOption(version);
  AddExportOptions(parser);

  if (!parser.parse(WithoutQtOptions(arguments))) {
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty())
      return Bad("未知参数 " + QString(unknown.first().size() == 1 ? "-" : "--").toStdString() +
                 unknown.first().toStdString());
    return Bad("参数缺少值 (" + parser.errorText().toStdString() + ")");
  }
  CommandLine command;
  if (parser.isSet(help)) {
    command.action = CommandAction::kPrintHelp;
    command.text = std::string(kStationHelp) + ExportHelp() + kStationHelpEnd;
    return command;
  }
  if (parser.isSet(version)) {
    command.action = CommandAction::kPrintVersion;
    command.text = "veltrane " VELTRANE_VERSION "\n";
    return command;
  }
  if (!parser.positionalArguments().isEmpty())
    return Bad("多余的参数 " + parser.positionalArguments().first().toStdString());
  if (!WantsExport(parser)) {
    const QStringList given = parser.optionNames();
    if (!given.isEmpty()) return Bad("参数 --" + given.first().toStdString() + " 只用于 --export");
    return command;
  }
  if (std::string error = ReadExportRequest(parser, command.request); !error.empty()) return Bad(error);
  command.action = CommandAction::kExport;
  return command;
}

int PrintCommandLineOutcome(const CommandLine& command) {
  switch (command.action) {
    case CommandAction::kPrintHelp:
    case CommandAction::kPrintVersion: std::fputs(command.text.c_str(), stdout); return 0;
    case CommandAction::kBadArguments:
      std::fprintf(stderr, "veltrane: %s\n%s(veltrane --help 列出全部选项)\n", command.text.c_str(),
                   ExportUsage().c_str());
      return kExitBadArguments;
    case CommandAction::kExport:
    case CommandAction::kStartStation: return -1;
  }
  return -1;
}
