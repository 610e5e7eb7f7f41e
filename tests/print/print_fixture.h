#pragma once
// A working folder with the printer tables the print tests need:
//   LASER  (hotel 1, type 1): driver mode, sizes 8 compressed / 10 normal;
//   AGHI   (hotel 1, type 2): raw device "porta.prn" in the working folder, prefixes
//          ESC SI NUL NUL NUL (compressed) and ESC DC2 NUL NUL NUL (normal);
//   SENZA TIPO (hotel 1, type 9, no SetStampa record): raw device "senza.prn";
//   CAMPEGGIO (hotel 2): never listed for hotel 1.
#include <cstdio>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>

#include "support/suite_folder.h"

namespace ovtest {

// Twelve three-character groups, as the Compresso and Grassetto fields hold them.
inline std::string codeGroups(std::initializer_list<int> values) {
    std::string s;
    char buf[8];
    for (int v : values) {
        std::snprintf(buf, sizeof buf, "%3d", v);
        s += buf;
    }
    return s;
}

struct PrintTables {
    int topMargin = 0;
    int physicalCompressed = 72;
    int physicalNormal = 66;
    std::optional<std::pair<int, int>> pageLengths = std::make_pair(72, 60);  // compressed, normal
    std::string options;  // CodiceAssistenza of hotel 1
    std::string laserDevice = "Stampante Ufficio";
    std::string rawDevice = "porta.prn";
};

inline void addPrintTables(SuiteFolder& f, const PrintTables& t = {}) {
    f.add("AnagraficaHotels.mdb", "AnagraficaHotels", {2, 2, "Camping", "KU", "Via Due", "Riccione"});
    f.add("AnagraficaHotels.mdb", "AnagraficaHotels", {1, 1, "Hotel Prova", t.options, "Via Uno", "Rimini"});
    f.add("Stampanti.mdb", "Stampanti", {1, 1, "LASER", 1, t.laserDevice});
    f.add("Stampanti.mdb", "Stampanti", {2, 2, "CAMPEGGIO", 1, "LPT2"});
    f.add("Stampanti.mdb", "Stampanti", {1, 3, "AGHI", 2, t.rawDevice});
    f.add("Stampanti.mdb", "Stampanti", {1, 4, "SENZA TIPO", 9, "senza.prn"});
    const std::string values =
        codeGroups({0, 0, 0, 0, 0, t.topMargin, t.physicalCompressed, t.physicalNormal, 0, 0, 0, 0});
    f.add("Stampanti.mdb", "SetStampa", {1, "Laser", codeGroups({8, 0, 0, 0, 0, 1, 10, 0, 0, 0, 0, 0}), values});
    f.add("Stampanti.mdb", "SetStampa", {2, "Aghi", "027 15  0  0  0  0 27 18", values});
    if (t.pageLengths) f.add("Contatori.mdb", "Contatori", {1, t.pageLengths->first, t.pageLengths->second});
    f.add("Contatori.mdb", "Contatori", {2, 99, 98});
}

}  // namespace ovtest
