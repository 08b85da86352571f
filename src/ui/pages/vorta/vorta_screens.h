#pragma once
#include <span>

#include "ui/pages/shared/module_session.h"

// The screens of the VORTA module's selector, in selector order.
std::span<const ModuleScreen> VortaScreens();
