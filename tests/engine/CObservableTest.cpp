#include "DeviceInfo.h"
#include "Observer.h"

#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace {

// Appends its name and the record's kind to a shared log on every Update.
class LoggingObserver : public CObserver<SEARCH_INFO>
{
public:
    LoggingObserver(std::string name, std::vector<std::string>& log)
        : m_name(std::move(name))
        , m_log(log)
    {}

    void Update(SEARCH_INFO info, CObservable<SEARCH_INFO>* subject) override
    {
        lastSubject = subject;
        lastInfo = info;
        m_log.push_back(m_name + ":" + std::to_string(info.opt));
    }

    CObservable<SEARCH_INFO>* lastSubject = nullptr;
    SEARCH_INFO lastInfo{};

private:
    std::string m_name;
    std::vector<std::string>& m_log;
};

SEARCH_INFO record(int opt, const char* mac)
{
    SEARCH_INFO info{};
    info.opt = opt;
    CopyText(info.devInfo.mac, mac);
    return info;
}

} // namespace

TEST(CObservable, NotifiesEveryObserverInAttachOrder)
{
    std::vector<std::string> log;
    LoggingObserver a("a", log), b("b", log), c("c", log);
    CObservable<SEARCH_INFO> subject;
    subject.Attach(&a);
    subject.Attach(&b);
    subject.Attach(&c);
    subject.Notify(record(2, "00:11:22:33:44:55"));
    EXPECT_EQ(log, (std::vector<std::string>{"a:2", "b:2", "c:2"}));
    EXPECT_EQ(b.lastSubject, &subject);
    EXPECT_STREQ(b.lastInfo.devInfo.mac, "00:11:22:33:44:55");
}

TEST(CObservable, AttachingTwiceKeepsOneEntryAndMovesItToTheEnd)
{
    std::vector<std::string> log;
    LoggingObserver a("a", log), b("b", log);
    CObservable<SEARCH_INFO> subject;
    subject.Attach(&a);
    subject.Attach(&b);
    subject.Attach(&a);
    subject.Notify(record(0, ""));
    EXPECT_EQ(log, (std::vector<std::string>{"b:0", "a:0"}));
}

TEST(CObservable, AttachingNullChangesNothing)
{
    std::vector<std::string> log;
    LoggingObserver a("a", log);
    CObservable<SEARCH_INFO> subject;
    subject.Attach(nullptr);
    subject.Attach(&a);
    subject.Attach(nullptr);
    // A stored null would crash here.
    subject.Notify(record(1, ""));
    EXPECT_EQ(log, (std::vector<std::string>{"a:1"}));
}

TEST(CObservable, DetachRemovesOnlyThatObserver)
{
    std::vector<std::string> log;
    LoggingObserver a("a", log), b("b", log), c("c", log), stranger("x", log);
    CObservable<SEARCH_INFO> subject;
    subject.Attach(&a);
    subject.Attach(&b);
    subject.Attach(&c);
    subject.Detach(&b);
    subject.Detach(&stranger);
    subject.Detach(nullptr);
    subject.Notify(record(0, ""));
    EXPECT_EQ(log, (std::vector<std::string>{"a:0", "c:0"}));
    subject.Detach(&a);
    subject.Detach(&c);
    log.clear();
    subject.Notify(record(0, ""));
    EXPECT_TRUE(log.empty());
}

TEST(CObservable, ObserverMayDetachItselfDuringUpdate)
{
    class SelfDetaching : public CObserver<SEARCH_INFO>
    {
    public:
        void Update(SEARCH_INFO, CObservable<SEARCH_INFO>* subject) override
        {
            ++calls;
            subject->Detach(this);
        }
        int calls = 0;
    };
    std::vector<std::string> log;
    SelfDetaching once;
    LoggingObserver after("after", log);
    CObservable<SEARCH_INFO> subject;
    subject.Attach(&once);
    subject.Attach(&after);
    subject.Notify(record(0, ""));
    subject.Notify(record(1, ""));
    EXPECT_EQ(once.calls, 1);
    // The observer behind the one that left is still told, once per notification.
    EXPECT_EQ(log, (std::vector<std::string>{"after:0", "after:1"}));
}

TEST(CObservable, DetachWaitsForAnUpdateRunningOnAnotherThread)
{
    // The window detaches on its own thread while the library's thread may be inside Update;
    // after Detach returns, the observer may be destroyed, so no Update may still be running.
    class SlowObserver : public CObserver<SEARCH_INFO>
    {
    public:
        void Update(SEARCH_INFO, CObservable<SEARCH_INFO>*) override
        {
            entered.set_value();
            release.get_future().wait_for(std::chrono::seconds(5));
            finished = true;
        }
        std::promise<void> entered;
        std::promise<void> release;
        std::atomic<bool> finished{false};
    };
    SlowObserver slow;
    CObservable<SEARCH_INFO> subject;
    subject.Attach(&slow);

    std::thread notifier([&] { subject.Notify(record(0, "")); });
    ASSERT_EQ(slow.entered.get_future().wait_for(std::chrono::seconds(5)), std::future_status::ready);
    auto detached = std::async(std::launch::async, [&] {
        subject.Detach(&slow);
        return slow.finished.load();
    });
    EXPECT_EQ(detached.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
    slow.release.set_value();
    EXPECT_TRUE(detached.get());
    notifier.join();
}
