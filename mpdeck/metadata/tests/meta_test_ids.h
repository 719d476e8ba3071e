// Templates of the metadata tests themselves.
#pragma once

#define IDD_TEST_OWNER 900
