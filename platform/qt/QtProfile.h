// The profile in a QSettings INI file: ~/.config/Selvane-Works/<application name>.conf, readable by the
// user alone (it holds the password).
#pragma once

#include "platform/IProfile.h"

#include <QSettings>
#include <QString>

class CQtProfile : public IProfile {
public:
    explicit CQtProfile(const QString& strAppName = QStringLiteral("KIVODialer"));
    ~CQtProfile() override;

    int GetProfileInt(std::u16string_view section, std::u16string_view entry, int nDefault) override;
    std::u16string GetProfileString(std::u16string_view section, std::u16string_view entry,
                                    std::u16string_view strDefault) override;
    bool WriteProfileInt(std::u16string_view section, std::u16string_view entry, int nValue) override;
    bool WriteProfileString(std::u16string_view section, std::u16string_view entry,
                            std::u16string_view value) override;
    void Flush() override;
    std::u16string UnusablePath() const override;

    QString FileName() const { return m_settings.fileName(); }

private:
    void KeepPrivate();

    QSettings m_settings;
};
