#pragma once
// How the controls library's singletons join the program's ordered teardown at exit. The
// application core installs its registrar (the lifetime tracker list) at start-up; a singleton
// created before that is handed over when the registrar arrives. Without a registrar the objects
// live until the process ends.
#include <functional>

enum : unsigned {
    kCommandImageManagerLifetimePriority = 30001,
    kImageListManagerLifetimePriority = 5003,
    kThemeApiLifetimePriority = 90,
};

using ControlsTeardownRegistrar = std::function<void(unsigned priority, void (*destroy)())>;

// Installs the registrar and hands it every registration made so far. An empty registrar
// removes it (later registrations wait again).
void SetControlsTeardownRegistrar(ControlsTeardownRegistrar registrar);
void RegisterControlsTeardown(unsigned priority, void (*destroy)());
