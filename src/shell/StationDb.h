#pragma once
// The user-interface thread's database session: login, dialogs and exports. The monitor
// thread has its own, configured like this one (CMainFrame). Only the shell reaches it by
// name; everything below the shell is handed it.
#include "DbSession.h"

DbSession& Db();
