// `orvella-host au ...`: the bundle as an Audio Unit, driven through the stand-in
// component registry and the Audio Unit selectors only.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

// [main thread] Runs the subcommand whose arguments follow "au"; throws HostError for
// anything the user can fix. Answers the exit status.
int runAuCommand(const std::vector<std::string>& arguments,
                 const std::filesystem::path& defaultBundle);
// The lines `help` shows for it.
std::string auUsage();
