// The registry of the headless commands: one line per command, listed by --help in this order.
#include "cli/cli.h"

namespace ov::cli {

const std::vector<Command>& commands() {
    static const std::vector<Command> table = {
        {"query", "[--folder DIR] FILE QUERY",
         "stampa i record di una tabella o di una query di un database della cartella (UTF-8, separati da ;)",
         runQuery},
        {"summary", "[--folder DIR] --from GG/MM/AAAA --to GG/MM/AAAA [--first-room TESTO] [--last-room TESTO] [--open] [--show] [--xlsx] [--pdf FILE [--destination NOME] [--compressed] [--landscape]]",
         "riepilogo dati Hotel: scrive il file di stampa e Orvalis.csv (con --xlsx anche Orvalis.xlsx)", runSummary},
        {"chart", "[--folder DIR] --from GG/MM/AAAA --to GG/MM/AAAA [--first-room TESTO] [--last-room TESTO] [--compare-previous-year] [--chart ospiti|incassi|totali] [--size LARGHEZZAxALTEZZA] --out FILE",
         "grafici del periodo (ospiti, incassi per giorno, totali per colonna) in FILE .png, .svg o .pdf", runChart},
        {"presence", "[--folder DIR] --from GG/MM/AAAA --to GG/MM/AAAA [--show] [--pdf FILE [--destination NOME] [--compressed] [--landscape]]",
         "riepilogo presenze ospiti: scrive il file di stampa", runPresence},
        {"table", "[--folder DIR] --table NOME [--row CAMPO OPERATORE VALORE]... [--order CAMPO] [--compressed | --normal] [--destination NOME] [--pdf FILE]",
         "stampa filtrata di una tabella secondo il suo tracciato NOME.stp (--destination --- scrive il file di stampa)", runTable},
        {"convert", "[--folder DIR] [--xlsx]",
         "converte il file di stampa nel file per il foglio di calcolo fd<PCLocal>.csv (con --xlsx anche fd<PCLocal>.xlsx)",
         runConvert},
        {"demo", "DIR [--seed N] [--today GG/MM/AAAA] [--rooms N] [--years N]",
         "crea in DIR una cartella di lavoro dimostrativa con un anno di dati di un albergo di 60 camere "
         "(o delle camere e degli anni indicati)", runDemo},
    };
    return table;
}

}  // namespace ov::cli
