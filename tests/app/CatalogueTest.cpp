// The catalogue against the private server: who sees which companies, departments and
// devices, and names with quotes taken as names.
#include <gtest/gtest.h>

#include <vector>

#include "Catalogue.h"
#include "Gbk.h"
#include "LoginState.h"
#include "SharedDatabaseTest.h"

using platform::Utf8ToGbk;

namespace {

// Column `column` of every row, as UTF-8, in result order.
std::vector<std::string> Firsts(const DbResult& result, std::size_t column = 0) {
  EXPECT_TRUE(result.ok);
  std::vector<std::string> texts;
  for (const DbRow& row : result.rows) texts.push_back(platform::GbkToUtf8(row.at(column)));
  return texts;
}
std::vector<std::string> Names(const DbResult& companies) { return Firsts(companies, 1); }

using Texts = std::vector<std::string>;

class CatalogueTest : public SharedDatabaseTest<CatalogueTest> {
 protected:
  static void SetUpTestSuite() {
    if (!OpenDatabase("t_catalogue")) return;
    db_->Exec(Utf8ToGbk("insert into company_tab values ('0001','甲公司'),('0002','乙公司'),('0003','O''Brien & Co')"));
    db_->Exec(
        Utf8ToGbk("insert into department_tab values ('01','0001','生产部'),('02','0001','仓库'),"
                  "('01','0002','化验室'),('01','0003','Joe''s')"));
    db_->Exec(
        "insert into device_tab values ('D000000001','a','0001','01'),('D000000002','b','0001','02'),"
        "('D000000003','c','0002','01'),('D000000004','d','0003','01')");
    db_->Exec("insert into permission_tab values ('li','0001','01'),('wang','0002','01'),('O''Neil','0003','01')");
  }
  void SetUp() override {
    REQUIRE_DB(*db_);
    db_->ConnectProcessSession();
    ASSERT_EQ(Db().LastConnectSucceeded(), 1);
  }
};

TEST_F(CatalogueTest, AnAdministratorSeesEverythingAnyOtherRoleOnlyItsGrants) {
  EXPECT_TRUE(catalogue::SeesEveryDevice(kRoleAdministrator));
  EXPECT_FALSE(catalogue::SeesEveryDevice(kRoleNormalUser));
  EXPECT_FALSE(catalogue::SeesEveryDevice(kRoleNone)) << "nobody logged in";

  // The administrator's name is not looked at.
  EXPECT_EQ(Names(catalogue::CompaniesSeenBy(Db(), kRoleAdministrator, "nobody")),
            (Texts{"甲公司", "乙公司", "O'Brien & Co"}));
  EXPECT_EQ(Firsts(catalogue::DepartmentNamesSeenBy(Db(), kRoleAdministrator, "nobody", "0001")),
            (Texts{"生产部", "仓库"}));

  EXPECT_EQ(Names(catalogue::CompaniesSeenBy(Db(), kRoleNormalUser, "li")), Texts{"甲公司"});
  EXPECT_EQ(Firsts(catalogue::CompaniesSeenBy(Db(), kRoleNormalUser, "li")), Texts{"0001"}) << "with its number";
  EXPECT_EQ(Firsts(catalogue::DepartmentNamesSeenBy(Db(), kRoleNormalUser, "li", "0001")), Texts{"生产部"});
  EXPECT_TRUE(Firsts(catalogue::DepartmentNamesSeenBy(Db(), kRoleNormalUser, "li", "0002")).empty());

  EXPECT_EQ(Firsts(catalogue::GrantedDevice(Db(), "li", "D000000001")), Texts{"D000000001"});
  for (const char* other : {"D000000002", "D000000003"})
    EXPECT_TRUE(Firsts(catalogue::GrantedDevice(Db(), "li", other)).empty()) << other;
}

TEST_F(CatalogueTest, NamesWithQuotesAreOnlyNames) {
  EXPECT_EQ(Firsts(catalogue::CompanyNumbersNamed(Db(), "O'Brien & Co")), Texts{"0003"});
  EXPECT_EQ(Firsts(catalogue::DepartmentNumbersNamed(Db(), "Joe's", "0003")), Texts{"01"});
  EXPECT_EQ(Names(catalogue::CompaniesSeenBy(Db(), kRoleNormalUser, "O'Neil")), Texts{"O'Brien & Co"});
  EXPECT_EQ(Firsts(catalogue::GrantedDevice(Db(), "O'Neil", "D000000004")), Texts{"D000000004"});

  const std::string attack = "x' or '1'='1";
  EXPECT_TRUE(Firsts(catalogue::CompaniesSeenBy(Db(), kRoleNormalUser, attack)).empty());
  EXPECT_TRUE(Firsts(catalogue::DepartmentNamesSeenBy(Db(), kRoleNormalUser, attack, "0001")).empty());
  EXPECT_TRUE(Firsts(catalogue::GrantedDevice(Db(), attack, "D000000001")).empty());
  EXPECT_TRUE(Firsts(catalogue::GrantedDevice(Db(), "li", "D000000002' or '1'='1")).empty());
  EXPECT_TRUE(Firsts(catalogue::CompanyNumbersNamed(Db(), attack)).empty());
}

}  // namespace
