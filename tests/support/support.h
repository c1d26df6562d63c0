// Helpers shared by the Windows tests.
#pragma once
