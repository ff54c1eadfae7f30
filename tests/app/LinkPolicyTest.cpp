// What is sent again after a lost link, case by case.
#include <gtest/gtest.h>

#include "LinkPolicy.h"

TEST(LinkPolicy, DecidesWhatIsSentAgain) {
  using enum StatementKind;
  using enum AfterLinkLoss;
  struct Case {
    LostStatement lost;  // kind, in a transaction, sent, rows handed
    AfterLinkLoss expected;
  };
  const Case cases[] = {
      {{kRead, false, true, false}, kSendAgain},
      {{kRead, false, false, false}, kSendAgain},
      {{kRead, false, true, true}, kFail},  // a row would be handed twice
      {{kRead, true, true, false}, kFail},  // the transaction is gone with its connection
      {{kRead, true, false, false}, kFail},
      {{kWrite, false, true, false}, kFail},  // it may have been carried out
      {{kWrite, false, false, false}, kSendAgain},
      {{kWrite, true, false, false}, kFail},
      {{kCommit, true, true, false}, kUnconfirmed},
      {{kCommit, false, true, false}, kUnconfirmed},
      {{kCommit, true, false, false}, kFail},
  };
  for (const Case& c : cases) {
    const LostStatement& l = c.lost;
    EXPECT_EQ(DecideAfterLinkLoss(l), c.expected) << static_cast<int>(l.kind) << " transaction " << l.inTransaction
                                                  << " sent " << l.sent << " rows " << l.rowsHanded;
  }
}
