// lblprint: the printer application. PAPPL's main loop and subcommands; one
// driver per model; printers of the spooler stand-in behind every queue.
#include "lblprint.h"
#include "system.h"

int main(int argc, char* argv[])
{
    lblprint::AddFileDevice();
    std::vector<pappl_pr_driver_t>& drivers = lblprint::DriverList();
    return papplMainloop(argc, argv, LBL_VERSION, "lblprint " LBL_VERSION, static_cast<int>(drivers.size()),
                         drivers.data(), nullptr, lblprint::DriverCallback, nullptr, nullptr, lblprint::CreateSystem,
                         nullptr, nullptr);
}
