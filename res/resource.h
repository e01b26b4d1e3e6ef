// Resource ids of the program (string ids are in StringIds.h).
#pragma once

#define IDI_APP 128
