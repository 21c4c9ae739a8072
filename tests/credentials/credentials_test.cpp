#include "credentials/credentials_file.h"
#include "credentials/origin.h"
#include "credentials/private_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/files.h"

using namespace credentials;

TEST(Origins, AreComparedAsTheBrowserWritesThem) {
    EXPECT_EQ(origin_key("HTTPS://Grafana.local:443/"), "https://grafana.local");
    EXPECT_EQ(origin_key("http://127.0.0.1:08080"), "http://127.0.0.1:8080");
    EXPECT_EQ(origin_key("http://[::1]:80"), "http://[::1]");
    for (const char* not_an_origin : {"grafana.local", "ftp://host", "https://host/login", "https://u:p@host",
                                      "https://host:99999", "https://:80", "https://host?x"})
        EXPECT_EQ(origin_key(not_an_origin), "") << not_an_origin;
    EXPECT_EQ(origin_of_address("https://u:p@Host:8443/a/b?c#d"), "https://host:8443");
}

TEST(CredentialsFile, IsReadOnlyWhenItIsTheUsersAlone) {
    EXPECT_EQ(file_refusal(getuid(), getuid(), S_IFREG | 0600), "");
    EXPECT_NE(file_refusal(getuid() + 1, getuid(), S_IFREG | 0600), "");
    EXPECT_NE(file_refusal(getuid(), getuid(), S_IFREG | 0620), "");

    TempFolder folder;
    const auto file = write_file(folder / "credenziali",
                                 "[https://Grafana.local:3000/]\nUtente=parete\nPassword=s3greta\n"
                                 "[grafana.local]\nUtente=x\nPassword=s3greta\n"
                                 "[http://nas.local]\nUtente=solo\n");
    ::chmod(file.c_str(), 0644);
    const auto open_to_all = read_credentials(file, std::nullopt);
    EXPECT_TRUE(open_to_all.credentials.by_origin.empty());
    ASSERT_EQ(open_to_all.complaints.size(), 1u);
    EXPECT_NE(open_to_all.complaints[0].find("0644"), std::string::npos) << open_to_all.complaints[0];

    ::chmod(file.c_str(), 0600);
    const auto read = read_credentials(file, std::nullopt);
    ASSERT_NE(read.credentials.find("https://grafana.local:3000"), nullptr);
    EXPECT_EQ(read.credentials.find("https://grafana.local:3000")->password, "s3greta");
    EXPECT_EQ(read.credentials.find("https://grafana.local"), nullptr);
    EXPECT_EQ(read.complaints.size(), 2u);  // the group that is no origin, the one without a password
    for (const auto& complaint : read.complaints) EXPECT_EQ(complaint.find("s3greta"), std::string::npos);

    // A line that is no key file must not be quoted back.
    write_file(file, "[https://a]\nPassword s3greta\n");
    const auto broken = read_credentials(file, std::nullopt);
    ASSERT_EQ(broken.complaints.size(), 1u);
    EXPECT_EQ(broken.complaints[0].find("s3greta"), std::string::npos);

    EXPECT_TRUE(read_credentials(folder / "assente", std::nullopt).complaints.empty());
}

TEST(CredentialsFile, SystemdCredentialIsTrustedAndComesFirst) {
    TempFolder folder;
    const auto user_file = write_file(folder / "credenziali",
                                      "[https://a.local]\nUtente=u\nPassword=utente\n"
                                      "[https://b.local]\nUtente=u\nPassword=b\n");
    ::chmod(user_file.c_str(), 0600);
    const auto from_systemd = write_file(folder / kSystemdCredential, "[https://a.local]\nUtente=s\nPassword=servizio\n");
    ::chmod(from_systemd.c_str(), 0644);
    const auto read = read_credentials(user_file, folder.path());
    EXPECT_TRUE(read.complaints.empty());
    ASSERT_EQ(read.credentials.by_origin.size(), 2u);
    EXPECT_EQ(read.credentials.find("https://a.local")->password, "servizio");
    EXPECT_EQ(read.credentials.find("https://b.local")->password, "b");
}
