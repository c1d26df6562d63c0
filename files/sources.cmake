# Sources of this subsystem (see the top-level CMakeLists.txt).
