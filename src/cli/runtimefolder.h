#pragma once
// Qt asks the runtime folder of the session, which a tool run from cron or ssh may not have:
// it would say so on stderr and make /tmp/runtime-USER. A private one lives as long as the run.
#include <string>

namespace pelkorl {

class RuntimeFolder {
public:
    RuntimeFolder();
    ~RuntimeFolder();
    RuntimeFolder(const RuntimeFolder&) = delete;
    RuntimeFolder& operator=(const RuntimeFolder&) = delete;

private:
    std::string folder_;
};

} // namespace pelkorl
