#pragma once
// The station's one database session, shared by the user-interface thread and the monitor
// thread. Only the shell reaches it by name; everything below the shell is handed it.
#include "DbSession.h"

DbSession& Db();
