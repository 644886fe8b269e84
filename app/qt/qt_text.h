#pragma once
// Our texts are UTF-8 (the resources' Japanese included); Qt's are QString.
#include <QString>
#include <string>

namespace qttext {

inline QString Ui(const std::string& str) {
    return QString::fromStdString(str);
}
inline QString Ui(const char* psz) {
    return QString::fromUtf8(psz);
}

}  // namespace qttext
