// The export bodies' helpers live in driver/core so that the engines can use them too.
#pragma once

#include "driver/core/exportacao.h"
