// Windows: the editor window runs on the host's own message loop.
#include "ClapWindowServices.h"

std::unique_ptr<ClapWindowServices> MakeClapWindowServices(const clap_host_t*) { return nullptr; }
