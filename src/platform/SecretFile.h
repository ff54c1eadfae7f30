#pragma once
// A password kept in a file for unattended runs (cron): the first line of a file that only
// its owner may read. A file readable by the group or by others is refused, as ssh refuses
// such a key file: the password would already be out.
#include <string>

namespace platform {

struct SecretFileResult {
  bool ok = false;
  std::string secret;  // the first line, without its line end
  std::string error;   // UTF-8, for the user, when !ok
};

SecretFileResult ReadSecretFile(const std::string& path);

}  // namespace platform
