#include "controls/ControlsLifetime.h"

#include <utility>
#include <vector>

namespace {

struct PendingTeardown {
    unsigned priority;
    void (*destroy)();
};

ControlsTeardownRegistrar& Registrar()
{
    static ControlsTeardownRegistrar registrar;
    return registrar;
}

std::vector<PendingTeardown>& Pending()
{
    static std::vector<PendingTeardown> pending;
    return pending;
}

}  // namespace

void SetControlsTeardownRegistrar(ControlsTeardownRegistrar registrar)
{
    Registrar() = std::move(registrar);
    if (!Registrar())
        return;
    std::vector<PendingTeardown> pending;
    pending.swap(Pending());
    for (const PendingTeardown& entry : pending)
        Registrar()(entry.priority, entry.destroy);
}

void RegisterControlsTeardown(unsigned priority, void (*destroy)())
{
    if (Registrar())
        Registrar()(priority, destroy);
    else
        Pending().push_back({priority, destroy});
}
