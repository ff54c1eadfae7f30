#include "LinkPolicy.h"

#include <array>
#include <optional>

namespace {

// A condition of a rule: the fact must be true, false, or is not asked.
enum class Fact { kAny, kYes, kNo };

struct LinkRule {
  std::optional<StatementKind> kind;  // nullopt: any
  Fact inTransaction, sent, rowsHanded;
  AfterLinkLoss verdict;
};

constexpr Fact Y = Fact::kYes, N = Fact::kNo, A = Fact::kAny;

// The first rule that matches decides.
constexpr std::array kRules{
    // The reply to "commit" was lost, not necessarily the commit: only the data can tell.
    LinkRule{StatementKind::kCommit, A, Y, A, AfterLinkLoss::kUnconfirmed},
    // The server dropped the transaction with its connection: everything up to its end fails.
    LinkRule{std::nullopt, Y, A, A, AfterLinkLoss::kFail},
    // The caller already has rows: sending it again would hand them twice.
    LinkRule{StatementKind::kRead, A, A, Y, AfterLinkLoss::kFail},
    // Its reply was lost, not necessarily the change: sent again it could happen twice.
    LinkRule{StatementKind::kWrite, A, Y, A, AfterLinkLoss::kFail},
    // A read, or anything that never went out, is safe to send once more.
    LinkRule{std::nullopt, A, A, A, AfterLinkLoss::kSendAgain},
};

bool Holds(Fact fact, bool value) { return fact == Fact::kAny || (fact == Fact::kYes) == value; }

}  // namespace

AfterLinkLoss DecideAfterLinkLoss(const LostStatement& lost) {
  for (const LinkRule& rule : kRules) {
    if ((!rule.kind || *rule.kind == lost.kind) && Holds(rule.inTransaction, lost.inTransaction) &&
        Holds(rule.sent, lost.sent) && Holds(rule.rowsHanded, lost.rowsHanded))
      return rule.verdict;
  }
  return AfterLinkLoss::kFail;
}
