#include "driver/errore.h"

#include "driver/exit_status.h"

namespace scenario::driver {

std::string error_message(const std::string& a) {
    return " Errore n. " + a;
}

void errore(platform::Desktop& desktop, const std::string& a) {
    desktop.message_box(error_message(a));
    desktop.close();
    platform::end_program(kExitShownError);
}

}  // namespace scenario::driver
