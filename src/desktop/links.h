#pragma once
// The product's addresses on the web, in one place.
#include <QString>

namespace zorvika::links {

inline const QString kSite = QStringLiteral("https://zorvika.example/");
inline const QString kCompanyHome = kSite;
inline const QString kProductHome = kSite + QStringLiteral("zorvika/");
inline const QString kForum = kSite + QStringLiteral("forum/");
inline const QString kSupportMail = QStringLiteral("mailto:support@zorvika.example");
// Sent as written, spaces and all; nothing is added at run time.
inline const QString kVersionCheck = kSite + QStringLiteral("newver.php?ver=1.00 Build 20080511&prod=ZORVIKA");

} // namespace zorvika::links
