#include <charconv>
#include <iostream>
#include <set>

#include "cli/cli.h"
#include "core/cp1252.h"
#include "state/workstation.h"

namespace fs = std::filesystem;

namespace ov::cli {

Options::Options(const Args& args, std::initializer_list<const char*> valueOptions,
                 std::initializer_list<const char*> flagOptions) {
    std::set<std::string> takesValue(valueOptions.begin(), valueOptions.end());
    std::set<std::string> isFlag(flagOptions.begin(), flagOptions.end());
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnded || a.size() < 3 || a.compare(0, 2, "--") != 0) {
            if (a == "--") {
                if (optionsEnded) operands_.push_back(a);
                optionsEnded = true;
                continue;
            }
            operands_.push_back(a);
            continue;
        }
        std::string name = a.substr(2);
        std::optional<std::string> inlineValue;
        if (auto eq = name.find('='); eq != std::string::npos) {
            inlineValue = name.substr(eq + 1);
            name.resize(eq);
        }
        if (values_.count(name) || flags_.count(name)) throw UsageError("opzione ripetuta: --" + name);
        if (takesValue.count(name)) {
            if (inlineValue) {
                values_[name] = *inlineValue;
            } else {
                if (i + 1 >= args.size()) throw UsageError("manca il valore dell'opzione --" + name);
                values_[name] = args[++i];
            }
        } else if (isFlag.count(name)) {
            if (inlineValue) throw UsageError("l'opzione --" + name + " non vuole un valore");
            flags_[name] = true;
        } else {
            throw UsageError("opzione sconosciuta: --" + name);
        }
    }
}

std::optional<std::string> Options::value(const std::string& name) const {
    auto it = values_.find(name);
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

bool Options::flag(const std::string& name) const { return flags_.count(name) > 0; }

void Options::expectOperands(size_t n) const {
    if (operands_.size() < n) throw UsageError("argomenti mancanti");
    if (operands_.size() > n) throw UsageError("argomento in più: " + operands_[n]);
}

fs::path Options::folder() const {
    auto v = value("folder");
    if (!v) return fs::current_path();
    std::error_code ec;
    if (v->empty() || !fs::is_directory(*v, ec)) throw UsageError("--folder: cartella inesistente: " + *v);
    return fs::absolute(*v).lexically_normal();
}

Workspace Options::workspace() const {
    Workspace ws(folder());
    if (auto today = date("today")) {
        Date d = *today;
        ws.setClock([d] { return DateTime{d, 0, 0, 0}; });
    }
    return ws;
}

std::optional<long long> Options::integer(const std::string& name) const {
    auto v = value(name);
    if (!v) return std::nullopt;
    long long n = 0;
    auto [end, ec] = std::from_chars(v->data(), v->data() + v->size(), n);
    if (v->empty() || ec != std::errc() || end != v->data() + v->size())
        throw UsageError("--" + name + ": numero intero non valido: " + *v);
    return n;
}

std::optional<Date> Options::date(const std::string& name) const {
    auto v = value(name);
    if (!v) return std::nullopt;
    auto d = Date::fromDmy(*v);
    if (!d) throw UsageError("--" + name + ": data non valida (GG/MM/AAAA): " + *v);
    return d;
}

void noteWorkstation(const Workspace& ws) {
    if (std::string notice = workstationNotice(ws); !notice.empty()) std::cerr << "ovdesk: " << notice << "\n";
}

std::string forTerminal(const std::string& cp1252Text) { return cp1252::toUtf8(cp1252Text); }

}  // namespace ov::cli
