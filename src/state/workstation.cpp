#include "state/workstation.h"

#include <cmath>
#include <optional>

#include "core/number_format.h"

namespace ov {
namespace {

struct Workstation {
    std::string text;    // what the file names carry
    std::string notice;  // empty when PCLocal gave it
};

Workstation resolve(const Workspace& ws) {
    const std::optional<std::string> value = ws.env("PCLocal");
    // The number a reader takes: the leading whole number, 0 when there is none (or it is absurd).
    double number = leadingNumber(value.value_or(""));
    if (!std::isfinite(number) || std::fabs(number) >= 1e15) number = 0;
    const std::string text = std::to_string(static_cast<long long>(std::trunc(number)));
    if (value && *value == text) return {text, {}};

    const std::string used = "questa postazione usa il numero " + text + " (file di stampa fd" + text +
                             "). Per un altro numero impostare PCLocal, per esempio PCLocal=1.";
    if (!value || value->empty()) return {text, "La variabile PCLocal non è impostata: " + used};
    return {text, "La variabile PCLocal vale \"" + *value + "\", che non è un numero di postazione: " + used};
}

}  // namespace

std::string workstationText(const Workspace& ws) { return resolve(ws).text; }

std::string workstationNotice(const Workspace& ws) { return resolve(ws).notice; }

std::string printFileWriteName(const Workspace& ws) { return "fd" + workstationText(ws); }

std::string printFileReadName(const Workspace& ws) { return "FD" + workstationText(ws); }

std::string printFileSaveName(const Workspace& ws) { return "fd" + workstationText(ws); }

}  // namespace ov
