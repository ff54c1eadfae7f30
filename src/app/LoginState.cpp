#include "LoginState.h"

std::string currentUserName;
int currentUserRole = 0;
