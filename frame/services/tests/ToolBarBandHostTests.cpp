// The discovery of hosted toolbar bands from scratch "Toolbar" and "CLSID" keys.
#include "core/library/RegistryKey.h"
#include "frame/services/ToolBarBandHost.h"

#include <gtest/gtest.h>

namespace {

constexpr char kRoot[] = "Software\\ServicesTestBands";

} // namespace

TEST(ToolBarBandHost, OnlyTheFormFillerWithAServerIsListed)
{
    RegDeleteTreeA(HKEY_CURRENT_USER, kRoot);
    {
        CRegistryKey toolbar;
        ASSERT_TRUE(toolbar.Create(HKEY_CURRENT_USER, (std::string(kRoot) + "\\Toolbar").c_str()));
        CRegistryKey clsid;
        ASSERT_TRUE(clsid.Create(HKEY_CURRENT_USER, (std::string(kRoot) + "\\CLSID").c_str()));
        const std::string lower = "{724d43a0-0d85-11d4-9908-00400523e39a}";
        const std::string other = "{11111111-2222-3333-4444-555555555555}";
        toolbar.SetStringValue(lower.c_str(), "&Form Bar");
        toolbar.SetStringValue(other.c_str(), "Other bar");
        for (const std::string& id : {lower, other}) {
            CRegistryKey server;
            ASSERT_TRUE(server.Create(clsid, (id + "\\InprocServer32").c_str()));
            server.SetStringValue(nullptr, "C:\\bands\\band.dll");
        }
        auto bands = DiscoverToolBarBands(toolbar, clsid);
        ASSERT_EQ(1u, bands.size());
        EXPECT_EQ(lower, bands[0].clsid);
        EXPECT_EQ("&Form Bar", bands[0].displayName);
        EXPECT_EQ(kIdFirstHostedBand, bands[0].id);
        EXPECT_TRUE(bands[0].visible);

        // An empty server path: skipped, and no id is used.
        CRegistryKey server;
        ASSERT_TRUE(server.Open(clsid, (lower + "\\InprocServer32").c_str()));
        server.SetStringValue(nullptr, "");
        EXPECT_TRUE(DiscoverToolBarBands(toolbar, clsid).empty());
        EXPECT_TRUE(DiscoverToolBarBands(nullptr, clsid).empty());
    }
    RegDeleteTreeA(HKEY_CURRENT_USER, kRoot);
}
