# Ray picking and view-volume culling kernels of the scene items.
find_package(benchmark REQUIRED)

add_executable(RayHitBench ${CMAKE_CURRENT_LIST_DIR}/RayHitBench.cpp)
target_link_libraries(RayHitBench PRIVATE
  nimbo_build_options KivVizOpenGLKernels Nimbo::Win32 benchmark::benchmark)
