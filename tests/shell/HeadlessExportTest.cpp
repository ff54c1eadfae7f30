// The command-line export end to end: the real executable against the private server.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "Gbk.h"
#include "SharedDatabaseTest.h"

namespace fs = std::filesystem;
using platform::Utf8ToGbk;

namespace {

struct RunResult {
  int status = -1;
  std::string out;
};

// `shell` runs first in the same shell (e.g. a ulimit), or prefixes the command (an environment override).
RunResult RunIn(const fs::path& dir, const std::string& args, const std::string& shell = {}) {
  RunResult r;
  const std::string command = "cd '" + dir.string() + "' && export QT_QPA_PLATFORM=offscreen; " + shell +
                              " '" VELTRANE_EXECUTABLE "' " + args + " 2>&1";
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) r.out.append(buffer, n);
    const int raw = ::pclose(pipe);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }
  return r;
}

class HeadlessExportTest : public SharedDatabaseTest<HeadlessExportTest> {
 protected:
  static void SetUpTestSuite() {
    if (!OpenDatabase("t_headless")) return;
    db_->Exec(Utf8ToGbk("insert into company_tab values('0001','华东冷链'),('0002','华南药仓')"));
    db_->Exec(Utf8ToGbk("insert into department_tab values('01','0001','冷藏部'),('01','0002','药品部')"));
    db_->Exec(Utf8ToGbk(
        "insert into device_tab values('TH00010101','一号冷库','0001','01'),('TH00020101','药柜','0002','01'),"
        "('TH00010102','备用库','0001','01')"));  // the last one has no readings
    db_->Exec("insert into user_tab values('admin','admin',1),('user1','user1',2)");
    db_->Exec("insert into permission_tab values('user1','0001','01')");
    for (const char* id : {"TH00010101", "TH00020101"})
      for (int i = 0; i < 40; ++i) {
        char row[256];
        std::snprintf(row, sizeof row,
                      "insert into history_tab values('%s','0001','01','2026-12-07 "
                      "%02d:%02d:00',%d.5,%d,45.0,0,30.0,220.0,1,35.0)",
                      id, i / 6, (i % 6) * 10, 20 + i % 5, i % 3 == 0 ? 1 : 0);
        db_->Exec(row);
      }
  }
  void SetUp() override {
    if (!db_->ok()) GTEST_SKIP() << "test database server not reachable";
    dir_ = fs::temp_directory_path() /
           ("headless_" + std::to_string(::getpid()) + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
    WriteConfig(db_->server().port);
  }
  void TearDown() override { fs::remove_all(dir_); }
  void WriteConfig(int port) {
    std::ofstream(dir_ / "Corvane.ini") << "[MYDB_CONFIG]\nHOST=127.0.0.1\nPORT=" << port
                                        << "\nUID=root\nPWD=" << db_->server().password << "\nDBNAME=" << db_->name()
                                        << "\n[DIS_CONFIG]\nDEFMOD=0\n[DEVICE_CONFIG]\nTIMEOUT=120\n";
  }
  fs::path dir_;
};

const std::string kAdmin = "--user admin --password admin --role 1 ";
const std::string kDay = " --from 2026-12-07 --to 2026-12-07";

}  // namespace

TEST_F(HeadlessExportTest, PdfWithTheTimeBasedNameInTheCurrentDirectory) {
  const RunResult r = RunIn(dir_, "--export pdf " + kAdmin + "--devices TH00010101,TH00020101" + kDay);
  ASSERT_EQ(r.status, 0) << r.out;
  const auto end = r.out.find(".pdf\n");
  ASSERT_NE(end, std::string::npos) << r.out;
  const auto start = r.out.rfind('\n', end);
  const std::string name =
      r.out.substr(start == std::string::npos ? 0 : start + 1, end + 4 - (start == std::string::npos ? 0 : start + 1));
  EXPECT_NE(name.find("秒.pdf"), std::string::npos) << name;
  EXPECT_TRUE(fs::exists(dir_ / name));
  EXPECT_NE(r.out.find("80 条记录"), std::string::npos) << r.out;
}

TEST_F(HeadlessExportTest, WorkbookFilteredByAlarmForAGrantedNormalUser) {
  const RunResult r = RunIn(dir_, "--export xls --user user1 --password user1 --role 2 --devices TH00010101" + kDay +
                                      " --temperature 1 --output out.xls");
  ASSERT_EQ(r.status, 0) << r.out;
  ASSERT_TRUE(fs::exists(dir_ / "out.xls"));
  std::string json;
  if (FILE* pipe =
          ::popen(("/usr/bin/python3 " VELTRANE_READ_XLS " '" + (dir_ / "out.xls").string() + "'").c_str(), "r")) {
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) json.append(buffer, n);
    ::pclose(pipe);
  }
  // Title row + 14 high-temperature rows (every third of 40).
  const auto sheet1 = json.find("\"Sheet1\"");
  ASSERT_NE(sheet1, std::string::npos) << json;
  int rows = 0;
  for (auto at = json.find("TH00010101"); at != std::string::npos; at = json.find("TH00010101", at + 1)) ++rows;
  EXPECT_EQ(rows, 14);
  EXPECT_NE(json.find("↑"), std::string::npos);
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(HeadlessExportTest, CsvHasTheTablePagesColumnsInUtf8WithBomOrInGbk) {
  const std::string header =
      "设备ID,设备名称,公司,部门,时间,温度(℃),湿度(%),设备温度(℃),设备电压(V),设备电流(mA),故障状态\r\n";
  const std::string row =
      "TH00010101,一号冷库,华东冷链,冷藏部,2026-12-07 00:00:00, 20.5 ↑,45.0,30.0,220.0 市电,35.0,正常\r\n";
  RunResult r = RunIn(dir_, "--export csv " + kAdmin + "--devices TH00010101,TH00020101" + kDay + " --output out.csv");
  ASSERT_EQ(r.status, 0) << r.out;
  const std::string utf8 = ReadFile(dir_ / "out.csv");
  EXPECT_EQ(utf8.rfind("\xEF\xBB\xBF" + header, 0), 0u) << utf8.substr(0, 200);
  EXPECT_NE(utf8.find("\n" + row), std::string::npos);
  std::size_t lines = 0;
  for (char c : utf8) lines += c == '\n';
  EXPECT_EQ(lines, 81u);
  EXPECT_NE(r.out.find("80 条记录"), std::string::npos) << r.out;

  const bool trail = TestSchemaHasAuditTrail();
  if (trail) db_->Exec("delete from audit_tab");
  r = RunIn(dir_, "--export csv " + kAdmin + "--devices TH00010101" + kDay + " --encoding GBK --output gbk.csv");
  ASSERT_EQ(r.status, 0) << r.out;
  if (trail) {
    // The login and the export, each audited with what was written where.
    const DbResult audit = db_->Query("select action,object_key,new_value from audit_tab order by audit_id");
    ASSERT_EQ(audit.rows.size(), 2u);
    EXPECT_EQ(audit.rows[0], (DbRow{Utf8ToGbk("登录成功"), "admin", "1"}));
    EXPECT_EQ(audit.rows[1], (DbRow{Utf8ToGbk("导出"), "csv", "TH00010101 2026-12-07..2026-12-07 -> gbk.csv"}));
  }
  const std::string gbk = ReadFile(dir_ / "gbk.csv");
  EXPECT_EQ(gbk.rfind(Utf8ToGbk(header), 0), 0u);
  EXPECT_NE(gbk.find(Utf8ToGbk(row)), std::string::npos);
}

TEST_F(HeadlessExportTest, SummaryHasTheFiguresOfEveryDevice) {
  const RunResult r =
      RunIn(dir_, "--export summary " + kAdmin + "--devices TH00010101,TH00010102" + kDay + " --output s.tsv");
  ASSERT_EQ(r.status, 0) << r.out;
  const std::string text = ReadFile(dir_ / "s.tsv");
  EXPECT_EQ(text.rfind("\xEF\xBB\xBF设备ID\t设备名称\t记录数", 0), 0u) << text.substr(0, 100);
  // 40 readings ten minutes apart; every third is above its limit and stands for 10 minutes.
  EXPECT_NE(text.find("\r\nTH00010101\t一号冷库\t40\t2026-12-07 00:00:00\t2026-12-07 06:30:00\t20.50\t24.50\t22.50\t"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("\t14\t2:20:00\t0\t0:00:00\t45.00\t"), std::string::npos) << text;
  // A device without readings: count 0 and no first or last time, whatever its name column holds.
  const auto quiet = text.find("\r\nTH00010102\t");
  ASSERT_NE(quiet, std::string::npos) << text;
  EXPECT_NE(text.find("\t0\t--\t--\t", quiet), std::string::npos) << text;
  EXPECT_LT(text.find("\t0\t--\t--\t", quiet), text.find("\r\n", quiet + 2)) << text;

  const RunResult empty = RunIn(dir_, "--export csv " + kAdmin + "--devices TH00010102" + kDay + " --output e.csv");
  EXPECT_EQ(empty.status, 0) << empty.out;  // a known device without readings is no error
  EXPECT_NE(empty.out.find("veltrane: 0 条记录"), std::string::npos) << empty.out;
  ASSERT_EQ(RunIn(dir_, "--export summary " + kAdmin + "--devices TH00010101" + kDay + " --output s.xls").status, 0);
  EXPECT_EQ(ReadFile(dir_ / "s.xls").rfind("\xD0\xCF\x11\xE0", 0), 0u);  // a compound document
}

TEST_F(HeadlessExportTest, RefusalsHaveTheirOwnExitStatus) {
  const struct {
    const char* what;
    std::string args;
    int status;
    const char* text;
  } cases[] = {
      {"wrong password", "--export pdf --user admin --password nope --role 1 --devices TH00010101" + kDay, 4,
       "用户名或密码错误!"},
      {"wrong role", "--export pdf --user user1 --password user1 --role 1 --devices TH00010101" + kDay, 4,
       "用户名或密码错误!"},
      {"quote in the name",
       "--export pdf --user \"admin' or '1'='1\" --password x --role 1 --devices TH00010101" + kDay, 4,
       "用户名或密码错误!"},
      {"device outside the grants",
       "--export pdf --user user1 --password user1 --role 2 --devices TH00010101,TH00020101" + kDay, 5, "TH00020101"},
      {"unwritable output", "--export pdf " + kAdmin + "--devices TH00010101" + kDay + " --output no/such/dir/r.pdf", 6,
       "导出失败"},
      {"unknown format", "--export html " + kAdmin + "--devices TH00010101" + kDay, 2, "--export"},
      {"reversed dates", "--export pdf " + kAdmin + "--devices TH00010101 --from 2026-12-08 --to 2026-12-07", 2,
       "时间段选择错误!"},
      {"unknown encoding", "--export csv " + kAdmin + "--devices TH00010101" + kDay + " --encoding latin1", 2,
       "--encoding"},
      {"bad filter", "--export pdf " + kAdmin + "--devices TH00010101" + kDay + " --humidity 7", 2, "--humidity"},
  };
  for (const auto& c : cases) {
    const RunResult r = RunIn(dir_, c.args);
    EXPECT_EQ(r.status, c.status) << c.what << "\n" << r.out;
    EXPECT_NE(r.out.find(c.text), std::string::npos) << c.what << "\n" << r.out;
  }
  EXPECT_FALSE(fs::exists(dir_ / "no"));
}

// A typing error in a scheduled job ("O" for "0"): one line names the id, nothing is written.
TEST_F(HeadlessExportTest, AnUnknownDeviceIsRefusedByEveryKind) {
  for (const std::string kind : {"pdf", "xls", "csv", "summary"})
    for (const std::string& login : {kAdmin, std::string("--user user1 --password user1 --role 2 ")}) {
      const std::string output = "u." + kind;
      const RunResult r = RunIn(
          dir_, "--export " + kind + " " + login + "--devices TH00010101,TH0001O101" + kDay + " --output " + output);
      EXPECT_EQ(r.status, 5) << kind << " " << login << "\n" << r.out;
      EXPECT_EQ(r.out, "veltrane: 设备 TH0001O101 不存在\n") << kind << " " << login;
      EXPECT_FALSE(fs::exists(dir_ / output)) << kind;
    }
}

TEST_F(HeadlessExportTest, AFileSizeLimitFailsTheExportAndKeepsTheEarlierFile) {
  std::ofstream(dir_ / "out.xls") << "earlier";
  const auto namesBefore = std::distance(fs::directory_iterator(dir_), fs::directory_iterator());
  // A couple of kilobytes: the workbook cannot fit, the ini and the database can.
  const RunResult r = RunIn(
      dir_, "--export xls " + kAdmin + "--devices TH00010101,TH00020101" + kDay + " --output out.xls", "ulimit -f 4;");
  EXPECT_EQ(r.status, 6) << r.out;  // an ordinary failure, not death by SIGXFSZ
  EXPECT_NE(r.out.find("导出失败"), std::string::npos) << r.out;
  std::ifstream in(dir_ / "out.xls");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "earlier");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), namesBefore)
      << "a temporary was left";
}

// Scheduled jobs may run where no window-system plugin loads: the reports need none.
TEST_F(HeadlessExportTest, ReportsNeedNoWindowSystem) {
  for (const std::string kind : {"pdf", "xls"}) {
    const RunResult r =
        RunIn(dir_, "--export " + kind + " " + kAdmin + "--devices TH00010101" + kDay + " --output r." + kind,
              "QT_QPA_PLATFORM=no-such-platform");
    EXPECT_EQ(r.status, 0) << kind << ": " << r.out;
    EXPECT_TRUE(fs::exists(dir_ / ("r." + kind))) << kind;
  }
}

TEST_F(HeadlessExportTest, DatabaseDownIsReported) {
  WriteConfig(1);  // nothing listens there
  const RunResult r = RunIn(dir_, "--export pdf " + kAdmin + "--devices TH00010101" + kDay);
  EXPECT_EQ(r.status, 3) << r.out;
  EXPECT_NE(r.out.find("数据库连接失败"), std::string::npos) << r.out;
  // One line with the host, the port, the client's reason and the exit status.
  const auto at = r.out.find("cannot connect to database");
  ASSERT_NE(at, std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("cannot connect to database", at + 1), std::string::npos) << r.out;
  const std::string line = r.out.substr(at, r.out.find('\n', at) - at);
  EXPECT_NE(line.find(":1: Can't connect"), std::string::npos) << line;
  EXPECT_NE(line.find("(exit status 3)"), std::string::npos) << line;
}

// Every third reading is above: one record each, the last still open at the end of the range.
TEST_F(HeadlessExportTest, EventsAsCsvOrWorkbook) {
  const bool trail = TestSchemaHasAuditTrail();
  if (trail) {
    db_->Exec("delete from alarm_ack_tab");
    db_->Exec(
        Utf8ToGbk("insert into alarm_ack_tab (device_id,kind,event_start,user_name,comment) values "
                  "('TH00010101','temp_high','2026-12-07 00:00:00','admin','门未关')"));
  }
  RunResult r =
      RunIn(dir_, "--export events " + kAdmin + "--devices TH00010101,TH00020101" + kDay + " --output ev.csv");
  ASSERT_EQ(r.status, 0) << r.out;
  const std::string csv = ReadFile(dir_ / "ev.csv");
  EXPECT_EQ(csv.rfind("\xEF\xBB\xBF设备ID,设备名称,公司,部门,报警类型,开始时间,结束时间,持续时间,读数个数,极值,确认人,"
                      "确认时间,确认说明\r\n",
                      0),
            0u)
      << csv.substr(0, 200);
  EXPECT_NE(csv.find("\nTH00010101,一号冷库,华东冷链,冷藏部,温度超上限,2026-12-07 00:00:00,2026-12-07 00:10:00,0:10:00,"
                     "1,20.50," +
                     std::string(trail ? "admin," : ",,\r\n")),
            std::string::npos);
  EXPECT_NE(csv.find("\nTH00020101,药柜,华东冷链,冷藏部,温度超上限,2026-12-07 06:30:00,持续中,0:00:00,1,24.50,,,\r\n"),
            std::string::npos);
  if (trail) {
    EXPECT_NE(csv.find(",门未关\r\n"), std::string::npos) << "the acknowledgement, by device, kind and start";
  }
  std::size_t lines = 0;
  for (char c : csv) lines += c == '\n';
  EXPECT_EQ(lines, 1u + 2 * 14);
  EXPECT_NE(r.out.find("28 条记录"), std::string::npos) << r.out;

  r = RunIn(dir_, "--export events " + kAdmin + "--devices TH00010101" + kDay + " --output ev.xls");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(fs::exists(dir_ / "ev.xls"));
  EXPECT_EQ(RunIn(dir_, "--export events " + kAdmin + "--devices NOSUCH" + kDay).status, 5);
}
