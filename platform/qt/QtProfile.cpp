#include "platform/qt/QtProfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// What is at a path, through links: the user's own regular file or directory, or anything else.
enum class EPathKind { Missing, OwnFile, OwnDir, Other };

EPathKind KindOf(const QString& strPath) {
    struct stat st {};
    if (stat(QFile::encodeName(strPath).constData(), &st) != 0)
        return EPathKind::Missing;
    if (st.st_uid != getuid())
        return EPathKind::Other;
    if (S_ISREG(st.st_mode))
        return EPathKind::OwnFile;
    if (S_ISDIR(st.st_mode))
        return EPathKind::OwnDir;
    return EPathKind::Other;
}

QString Key(std::u16string_view section, std::u16string_view entry) {
    return QString::fromUtf16(section.data(), qsizetype(section.size())) + QLatin1Char('/') +
           QString::fromUtf16(entry.data(), qsizetype(entry.size()));
}

} // namespace

CQtProfile::CQtProfile(const QString& strAppName)
    : m_settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Selvane-Works"), strAppName) {
    KeepPrivate();
}

CQtProfile::~CQtProfile() {
    Flush();
}

int CQtProfile::GetProfileInt(std::u16string_view section, std::u16string_view entry, int nDefault) {
    const QVariant value = m_settings.value(Key(section, entry));
    if (!value.isValid())
        return nDefault;
    // A stored 32-bit value is read back as unsigned and used as a signed int, so "4294967295" is -1.
    bool bOk = false;
    const qlonglong n = value.toString().trimmed().toLongLong(&bOk);
    if (!bOk || n < INT32_MIN || n > UINT32_MAX)
        return nDefault;
    return static_cast<int>(static_cast<uint32_t>(n));
}

std::u16string CQtProfile::GetProfileString(std::u16string_view section, std::u16string_view entry,
                                            std::u16string_view strDefault) {
    const QVariant value = m_settings.value(Key(section, entry));
    if (!value.isValid())
        return std::u16string(strDefault);
    // An INI value with a comma reads back as a list; join it again as it was written.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(',')).toStdU16String();
    return value.toString().toStdU16String();
}

bool CQtProfile::WriteProfileInt(std::u16string_view section, std::u16string_view entry, int nValue) {
    m_settings.setValue(Key(section, entry), nValue);
    return true;
}

bool CQtProfile::WriteProfileString(std::u16string_view section, std::u16string_view entry,
                                    std::u16string_view value) {
    m_settings.setValue(Key(section, entry), QString::fromUtf16(value.data(), qsizetype(value.size())));
    return true;
}

void CQtProfile::Flush() {
    // QSettings writes a temporary file and renames it over the old one: a reader, or a crash,
    // sees either the old or the new profile, never half of one.
    m_settings.sync();
    KeepPrivate();
}

std::u16string CQtProfile::UnusablePath() const {
    // A file of another user's that can be read is a profile (read-only); anything but a file is not.
    const QString strPath = m_settings.fileName();
    struct stat st {};
    if (stat(QFile::encodeName(strPath).constData(), &st) != 0 || S_ISREG(st.st_mode))
        return {};
    return strPath.toStdU16String();
}

void CQtProfile::KeepPrivate() {
    // Only the program's own file and folder are closed to others: a directory in the file's place, or
    // something of another user's, keeps its mode.
    const QFileInfo info(m_settings.fileName());
    QDir().mkpath(info.absolutePath());
    if (KindOf(info.absolutePath()) == EPathKind::OwnDir)
        QFile::setPermissions(info.absolutePath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (KindOf(info.absoluteFilePath()) == EPathKind::OwnFile)
        QFile::setPermissions(info.absoluteFilePath(), QFile::ReadOwner | QFile::WriteOwner);
}
