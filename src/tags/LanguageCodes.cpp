// Generated from Debian's iso-codes package 4.15.0-1 (iso_639-2.json); do not edit.
// Made from the repository root with:
//   python3 scripts/gen-language-codes.py > src/tags/LanguageCodes.cpp
//   clang-format -i src/tags/LanguageCodes.cpp
#include "tags/LanguageCodes.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

// 1026 codes, sorted, lower case.
constexpr std::array<std::string_view, 1026> Codes = {
    "aar", "abk", "ace", "ach", "ada", "ady", "afa", "afh", "afr", "ain", "aka", "akk", "alb",
    "ale", "alg", "alt", "amh", "ang", "anp", "apa", "ara", "arc", "arg", "arm", "arn", "arp",
    "art", "arw", "asm", "ast", "ath", "aus", "ava", "ave", "awa", "aym", "aze", "bad", "bai",
    "bak", "bal", "bam", "ban", "baq", "bas", "bat", "bej", "bel", "bem", "ben", "ber", "bho",
    "bih", "bik", "bin", "bis", "bla", "bnt", "bod", "bos", "bra", "bre", "btk", "bua", "bug",
    "bul", "bur", "byn", "cad", "cai", "car", "cat", "cau", "ceb", "cel", "ces", "cha", "chb",
    "che", "chg", "chi", "chk", "chm", "chn", "cho", "chp", "chr", "chu", "chv", "chy", "cmc",
    "cnr", "cop", "cor", "cos", "cpe", "cpf", "cpp", "cre", "crh", "crp", "csb", "cus", "cym",
    "cze", "dak", "dan", "dar", "day", "del", "den", "deu", "dgr", "din", "div", "doi", "dra",
    "dsb", "dua", "dum", "dut", "dyu", "dzo", "efi", "egy", "eka", "ell", "elx", "eng", "enm",
    "epo", "est", "eus", "ewe", "ewo", "fan", "fao", "fas", "fat", "fij", "fil", "fin", "fiu",
    "fon", "fra", "fre", "frm", "fro", "frr", "frs", "fry", "ful", "fur", "gaa", "gay", "gba",
    "gem", "geo", "ger", "gez", "gil", "gla", "gle", "glg", "glv", "gmh", "goh", "gon", "gor",
    "got", "grb", "grc", "gre", "grn", "gsw", "guj", "gwi", "hai", "hat", "hau", "haw", "heb",
    "her", "hil", "him", "hin", "hit", "hmn", "hmo", "hrv", "hsb", "hun", "hup", "hye", "iba",
    "ibo", "ice", "ido", "iii", "ijo", "iku", "ile", "ilo", "ina", "inc", "ind", "ine", "inh",
    "ipk", "ira", "iro", "isl", "ita", "jav", "jbo", "jpn", "jpr", "jrb", "kaa", "kab", "kac",
    "kal", "kam", "kan", "kar", "kas", "kat", "kau", "kaw", "kaz", "kbd", "kha", "khi", "khm",
    "kho", "kik", "kin", "kir", "kmb", "kok", "kom", "kon", "kor", "kos", "kpe", "krc", "krl",
    "kro", "kru", "kua", "kum", "kur", "kut", "lad", "lah", "lam", "lao", "lat", "lav", "lez",
    "lim", "lin", "lit", "lol", "loz", "ltz", "lua", "lub", "lug", "lui", "lun", "luo", "lus",
    "mac", "mad", "mag", "mah", "mai", "mak", "mal", "man", "mao", "map", "mar", "mas", "may",
    "mdf", "mdr", "men", "mga", "mic", "min", "mis", "mkd", "mkh", "mlg", "mlt", "mnc", "mni",
    "mno", "moh", "mon", "mos", "mri", "msa", "mul", "mun", "mus", "mwl", "mwr", "mya", "myn",
    "myv", "nah", "nai", "nap", "nau", "nav", "nbl", "nde", "ndo", "nds", "nep", "new", "nia",
    "nic", "niu", "nld", "nno", "nob", "nog", "non", "nor", "nqo", "nso", "nub", "nwc", "nya",
    "nym", "nyn", "nyo", "nzi", "oci", "oji", "ori", "orm", "osa", "oss", "ota", "oto", "paa",
    "pag", "pal", "pam", "pan", "pap", "pau", "peo", "per", "phi", "phn", "pli", "pol", "pon",
    "por", "pra", "pro", "pus", "qaa", "qab", "qac", "qad", "qae", "qaf", "qag", "qah", "qai",
    "qaj", "qak", "qal", "qam", "qan", "qao", "qap", "qaq", "qar", "qas", "qat", "qau", "qav",
    "qaw", "qax", "qay", "qaz", "qba", "qbb", "qbc", "qbd", "qbe", "qbf", "qbg", "qbh", "qbi",
    "qbj", "qbk", "qbl", "qbm", "qbn", "qbo", "qbp", "qbq", "qbr", "qbs", "qbt", "qbu", "qbv",
    "qbw", "qbx", "qby", "qbz", "qca", "qcb", "qcc", "qcd", "qce", "qcf", "qcg", "qch", "qci",
    "qcj", "qck", "qcl", "qcm", "qcn", "qco", "qcp", "qcq", "qcr", "qcs", "qct", "qcu", "qcv",
    "qcw", "qcx", "qcy", "qcz", "qda", "qdb", "qdc", "qdd", "qde", "qdf", "qdg", "qdh", "qdi",
    "qdj", "qdk", "qdl", "qdm", "qdn", "qdo", "qdp", "qdq", "qdr", "qds", "qdt", "qdu", "qdv",
    "qdw", "qdx", "qdy", "qdz", "qea", "qeb", "qec", "qed", "qee", "qef", "qeg", "qeh", "qei",
    "qej", "qek", "qel", "qem", "qen", "qeo", "qep", "qeq", "qer", "qes", "qet", "qeu", "qev",
    "qew", "qex", "qey", "qez", "qfa", "qfb", "qfc", "qfd", "qfe", "qff", "qfg", "qfh", "qfi",
    "qfj", "qfk", "qfl", "qfm", "qfn", "qfo", "qfp", "qfq", "qfr", "qfs", "qft", "qfu", "qfv",
    "qfw", "qfx", "qfy", "qfz", "qga", "qgb", "qgc", "qgd", "qge", "qgf", "qgg", "qgh", "qgi",
    "qgj", "qgk", "qgl", "qgm", "qgn", "qgo", "qgp", "qgq", "qgr", "qgs", "qgt", "qgu", "qgv",
    "qgw", "qgx", "qgy", "qgz", "qha", "qhb", "qhc", "qhd", "qhe", "qhf", "qhg", "qhh", "qhi",
    "qhj", "qhk", "qhl", "qhm", "qhn", "qho", "qhp", "qhq", "qhr", "qhs", "qht", "qhu", "qhv",
    "qhw", "qhx", "qhy", "qhz", "qia", "qib", "qic", "qid", "qie", "qif", "qig", "qih", "qii",
    "qij", "qik", "qil", "qim", "qin", "qio", "qip", "qiq", "qir", "qis", "qit", "qiu", "qiv",
    "qiw", "qix", "qiy", "qiz", "qja", "qjb", "qjc", "qjd", "qje", "qjf", "qjg", "qjh", "qji",
    "qjj", "qjk", "qjl", "qjm", "qjn", "qjo", "qjp", "qjq", "qjr", "qjs", "qjt", "qju", "qjv",
    "qjw", "qjx", "qjy", "qjz", "qka", "qkb", "qkc", "qkd", "qke", "qkf", "qkg", "qkh", "qki",
    "qkj", "qkk", "qkl", "qkm", "qkn", "qko", "qkp", "qkq", "qkr", "qks", "qkt", "qku", "qkv",
    "qkw", "qkx", "qky", "qkz", "qla", "qlb", "qlc", "qld", "qle", "qlf", "qlg", "qlh", "qli",
    "qlj", "qlk", "qll", "qlm", "qln", "qlo", "qlp", "qlq", "qlr", "qls", "qlt", "qlu", "qlv",
    "qlw", "qlx", "qly", "qlz", "qma", "qmb", "qmc", "qmd", "qme", "qmf", "qmg", "qmh", "qmi",
    "qmj", "qmk", "qml", "qmm", "qmn", "qmo", "qmp", "qmq", "qmr", "qms", "qmt", "qmu", "qmv",
    "qmw", "qmx", "qmy", "qmz", "qna", "qnb", "qnc", "qnd", "qne", "qnf", "qng", "qnh", "qni",
    "qnj", "qnk", "qnl", "qnm", "qnn", "qno", "qnp", "qnq", "qnr", "qns", "qnt", "qnu", "qnv",
    "qnw", "qnx", "qny", "qnz", "qoa", "qob", "qoc", "qod", "qoe", "qof", "qog", "qoh", "qoi",
    "qoj", "qok", "qol", "qom", "qon", "qoo", "qop", "qoq", "qor", "qos", "qot", "qou", "qov",
    "qow", "qox", "qoy", "qoz", "qpa", "qpb", "qpc", "qpd", "qpe", "qpf", "qpg", "qph", "qpi",
    "qpj", "qpk", "qpl", "qpm", "qpn", "qpo", "qpp", "qpq", "qpr", "qps", "qpt", "qpu", "qpv",
    "qpw", "qpx", "qpy", "qpz", "qqa", "qqb", "qqc", "qqd", "qqe", "qqf", "qqg", "qqh", "qqi",
    "qqj", "qqk", "qql", "qqm", "qqn", "qqo", "qqp", "qqq", "qqr", "qqs", "qqt", "qqu", "qqv",
    "qqw", "qqx", "qqy", "qqz", "qra", "qrb", "qrc", "qrd", "qre", "qrf", "qrg", "qrh", "qri",
    "qrj", "qrk", "qrl", "qrm", "qrn", "qro", "qrp", "qrq", "qrr", "qrs", "qrt", "qru", "qrv",
    "qrw", "qrx", "qry", "qrz", "qsa", "qsb", "qsc", "qsd", "qse", "qsf", "qsg", "qsh", "qsi",
    "qsj", "qsk", "qsl", "qsm", "qsn", "qso", "qsp", "qsq", "qsr", "qss", "qst", "qsu", "qsv",
    "qsw", "qsx", "qsy", "qsz", "qta", "qtb", "qtc", "qtd", "qte", "qtf", "qtg", "qth", "qti",
    "qtj", "qtk", "qtl", "qtm", "qtn", "qto", "qtp", "qtq", "qtr", "qts", "qtt", "qtu", "qtv",
    "qtw", "qtx", "qty", "qtz", "que", "raj", "rap", "rar", "roa", "roh", "rom", "ron", "rum",
    "run", "rup", "rus", "sad", "sag", "sah", "sai", "sal", "sam", "san", "sas", "sat", "scn",
    "sco", "sel", "sem", "sga", "sgn", "shn", "sid", "sin", "sio", "sit", "sla", "slk", "slo",
    "slv", "sma", "sme", "smi", "smj", "smn", "smo", "sms", "sna", "snd", "snk", "sog", "som",
    "son", "sot", "spa", "sqi", "srd", "srn", "srp", "srr", "ssa", "ssw", "suk", "sun", "sus",
    "sux", "swa", "swe", "syc", "syr", "tah", "tai", "tam", "tat", "tel", "tem", "ter", "tet",
    "tgk", "tgl", "tha", "tib", "tig", "tir", "tiv", "tkl", "tlh", "tli", "tmh", "tog", "ton",
    "tpi", "tsi", "tsn", "tso", "tuk", "tum", "tup", "tur", "tut", "tvl", "twi", "tyv", "udm",
    "uga", "uig", "ukr", "umb", "und", "urd", "uzb", "vai", "ven", "vie", "vol", "vot", "wak",
    "wal", "war", "was", "wel", "wen", "wln", "wol", "xal", "xho", "yao", "yap", "yid", "yor",
    "ypk", "zap", "zbl", "zen", "zgh", "zha", "zho", "znd", "zul", "zun", "zxx", "zza",
};

} // namespace

bool IsISO6392Code(const QString& code) {
    if (code.size() != 3)
        return false;
    char lower[3];
    for (int i = 0; i < 3; ++i) {
        const char16_t c = code.at(i).unicode();
        if (c >= u'A' && c <= u'Z')
            lower[i] = char(c - u'A' + 'a');
        else if (c >= u'a' && c <= u'z')
            lower[i] = char(c);
        else
            return false;
    }
    return std::binary_search(Codes.begin(), Codes.end(), std::string_view(lower, 3));
}
