#pragma once
// A core header that reaches up into the workflow: the layering check must refuse it.
#include "workflow/loading.h"
