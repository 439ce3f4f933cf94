#pragma once

#include <string>

// The route that lets the host reach devices which answer only on their link-local address
// (169.254.0.0/16): out of the interface that holds the host's address, without a gateway.
// It is added only when the table lacks it and this process may change routes, and a route
// this object added is removed again when it is destroyed. A normal user gets a state that
// says the route is missing, and the command that adds it.
class LinkLocalRoute
{
public:
    enum class State
    {
        // Nothing looked at yet.
        Unknown,
        // The table already reaches 169.254.0.0/16 directly; nothing was changed.
        Present,
        // This object added the route (and removes it again).
        Added,
        // The route is missing and could not be added, usually for lack of the right.
        Missing,
        // No interface holds the host's address: there is nothing to route through.
        NoInterface
    };

    // Where the kernel's IPv4 table is read; tests point it at a file of their own.
    explicit LinkLocalRoute(std::string routeTable = "/proc/net/route");
    ~LinkLocalRoute();
    LinkLocalRoute(const LinkLocalRoute&) = delete;
    LinkLocalRoute& operator=(const LinkLocalRoute&) = delete;

    // Looks at the table and adds the route through the interface holding ip when it is
    // missing and may be added; waits (a few seconds at most) for the route tool.
    State Ensure(const std::string& ip);
    // Removes the route when Ensure added it; otherwise does nothing.
    void Remove();

    State GetState() const;
    // The interface the route goes (or would go) out of; empty with NoInterface.
    const std::string& Interface() const;
    // The command line a user with the right runs to add the route, quoted for a shell.
    std::string AddCommand() const;

    // The interface of a direct route that covers 169.254.0.0/16 in the table at path, or
    // empty when there is none.
    static std::string FindInTable(const std::string& path);
    // The interface that holds the IPv4 address ip, or empty.
    static std::string InterfaceHolding(const std::string& ip);
    // Whether this process holds the right to change routes (CAP_NET_ADMIN in effect).
    static bool MayChangeRoutes();
    // The command line that adds the route through iface, quoted for a shell.
    static std::string AddCommandFor(const std::string& iface);
    // A word as a shell reads it back, quoted when needed; control bytes always come escaped,
    // so that it is safe in a terminal and a label too.
    static std::string ShellWord(const std::string& word);

private:
    bool RunRouteTool(const char* verb) const;

    std::string m_routeTable;
    State m_state = State::Unknown;
    std::string m_interface;
    std::string m_source;
};
