// Path texts of the window: joining a listed directory and a file name, the
// default output file, and the suffix that selects the rebuild.
#pragma once

#include <QString>

namespace tavo {

inline const QString kDefaultOutName = QStringLiteral("OutDataFile.Txt");
inline const QString kRebuildSuffix = QStringLiteral("/lcs");

// dir + "/" + name, without doubling a separator that ends dir.
inline QString join_path(const QString& dir, const QString& name) {
    if (dir.endsWith(QLatin1Char('/'))) return dir + name;
    return dir + QLatin1Char('/') + name;
}

// Removes ordinary blanks (code 32 only) at both ends.
inline QString trim_blanks(const QString& s) {
    qsizetype b = 0, e = s.size();
    while (b < e && s[b] == QLatin1Char(' ')) ++b;
    while (e > b && s[e - 1] == QLatin1Char(' ')) --e;
    return s.mid(b, e - b);
}

// The exchange file named by an output path ending in "/lcs", or an empty
// text when the path does not select the rebuild.
inline QString rebuild_source(const QString& out_path) {
    if (!out_path.endsWith(kRebuildSuffix)) return {};
    QString p = trim_blanks(out_path);
    p.chop(kRebuildSuffix.size());
    return p;
}

}  // namespace tavo
