#include "Fleet.h"

#include <cstdio>
#include <fstream>
#include <set>

#include <gtest/gtest.h>

TEST(Fleet, GeneratesEveryTypeWithUniqueMacsAndConsecutiveAddresses)
{
    Fleet fleet;
    FleetPlan plan;
    plan.count = 14;
    plan.foreign = 3;
    plan.seed = 5;
    plan.firstIp = "172.16.0.250";
    plan.prefix = 16;
    std::string error;
    ASSERT_TRUE(fleet.Generate(plan, error)) << error;
    std::lock_guard<std::mutex> lock(fleet.Lock());
    const auto& devices = fleet.Devices();
    ASSERT_EQ(17u, devices.size());
    std::set<std::string> macs;
    std::set<std::string> series;
    for (const SimDevice& d : devices) {
        macs.insert(d.mac);
        series.insert(d.series);
        EXPECT_EQ("255.255.0.0", d.mask);
        EXPECT_EQ("172.16.0.1", d.gateway);
    }
    EXPECT_EQ(17u, macs.size());
    EXPECT_EQ(10u, series.size()) << "seven maker types and three foreign series";
    EXPECT_EQ("172.16.0.250", devices[0].ip);
    EXPECT_EQ("172.16.1.0", devices[6].ip) << "addresses carry over into the next octet";
    EXPECT_EQ("02:5C:05:00:00:00", devices[0].mac);
    EXPECT_EQ(-1, devices[6].rtspPort) << "a network keyboard reports no RTSP port";
    EXPECT_EQ(std::string::npos, devices[14].series.find("QMX"));
}

TEST(Fleet, VersionsComeWithAndWithoutBetaAndBuild)
{
    Fleet fleet;
    FleetPlan plan;
    plan.count = 12;
    std::string error;
    ASSERT_TRUE(fleet.Generate(plan, error));
    bool beta = false;
    bool plain = false;
    bool build = false;
    bool noBuild = false;
    for (const SimDevice& d : fleet.Devices()) {
        (d.softwareVer.find("beta") != std::string::npos ? beta : plain) = true;
        (d.build.empty() ? noBuild : build) = true;
    }
    EXPECT_TRUE(beta && plain && build && noBuild);
}

TEST(Fleet, RefusesImpossiblePlans)
{
    Fleet fleet;
    std::string error;
    FleetPlan badIp;
    badIp.firstIp = "300.1.1.1";
    EXPECT_FALSE(fleet.Generate(badIp, error));
    FleetPlan badType;
    badType.types = "QMX_IPC,QMX_TOASTER";
    EXPECT_FALSE(fleet.Generate(badType, error));
    EXPECT_NE(std::string::npos, error.find("QMX_TOASTER"));
    FleetPlan tooMany;
    tooMany.count = 70000;
    EXPECT_FALSE(fleet.Generate(tooMany, error));
}

TEST(Fleet, LoadsAFleetFileAndReportsTheBadLine)
{
    const std::string path = testing::TempDir() + "fleet.txt";
    {
        std::ofstream out(path);
        out << "# two devices\n"
            << "mac=aa:bb:cc:00:00:01 type=QMX_NVR ip=10.1.2.3 name=Front http=8081 restore=0\n"
            << "\n"
            << "mac=AA:BB:CC:00:00:02 type=ACME_CAM password=secret\n";
    }
    Fleet fleet;
    FleetPlan plan;
    std::string error;
    ASSERT_TRUE(fleet.Load(path, plan, error)) << error;
    ASSERT_EQ(2u, fleet.Devices().size());
    const SimDevice* nvr = fleet.Find("AA:BB:CC:00:00:01");
    ASSERT_NE(nullptr, nvr);
    EXPECT_EQ("QMX_NVR", nvr->series);
    EXPECT_EQ("10.1.2.3", nvr->ip);
    EXPECT_EQ(8081, nvr->httpPort);
    EXPECT_FALSE(nvr->canRestore);
    EXPECT_EQ("secret", fleet.Find("AA:BB:CC:00:00:02")->password);

    {
        std::ofstream out(path);
        out << "mac=AA:BB:CC:00:00:01\nmac=AA:BB:CC:00:00:02 http=eighty\n";
    }
    EXPECT_FALSE(fleet.Load(path, plan, error));
    EXPECT_NE(std::string::npos, error.find(":2:")) << error;
    std::remove(path.c_str());
}
