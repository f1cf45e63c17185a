#pragma once
// One recorder profile: how to reach the recorder and which model it is,
// with the paths of every file that belongs to it.
#include <string>

class CNetNaviSetting {
public:
    // Profiles live in appDir (ending in a separator).
    explicit CNetNaviSetting(std::string appDir);
    virtual ~CNetNaviSetting() = default;

    // Setters refuse a bad value without storing it.
    bool SetName(const std::string& name);
    bool SetHost(const std::string& host);
    bool SetPort(int port);
    bool SetAuth(int auth);
    bool SetUser(const std::string& user);
    bool SetPassword(const std::string& password);
    bool SetModel(const std::string& model);

    std::string GetName() const { return m_strName; }
    std::string GetHost() const { return m_strHost; }
    int GetPort() const { return m_nPort; }
    int GetAuth() const { return m_bAuth; }
    std::string GetUser() const { return m_strUser; }
    std::string GetPassword() const { return m_strPassword; }
    std::string GetModel() const { return m_strModel; }
    int GetModelClass() const;

    const std::string& GetAppDir() const { return m_strAppDir; }
    std::string GetIniPath() const;
    std::string GetCacheFolder() const;  // ends in a separator
    std::string GetLibraryPath() const;
    std::string GetDiscPath() const;

    // False only for a name no profile may have. A profile that cannot be
    // read leaves the defaults, with the reason in the error text.
    bool Load();
    bool Save();
    // File errors are reported through the error text, not shown here.
    bool Rename(const std::string& newName);
    // The cache folder first, the profile last: a failure leaves a working recorder.
    bool Delete();
    const std::string& GetErrorText() const { return m_strError; }
    // Whether the last Load found a port outside 1-65535 and took the default instead.
    bool IsPortDefaulted() const { return m_bPortDefaulted; }

    static bool IsValidName(const std::string& name);

private:
    std::string m_strAppDir;
    std::string m_strName;
    std::string m_strHost;
    int m_nPort = 80;
    int m_bAuth = 0;
    std::string m_strUser;
    std::string m_strPassword;
    std::string m_strModel;
    std::string m_strError;
    bool m_bPortDefaulted = false;
};
