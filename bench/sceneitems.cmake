# Scene items of libKivVizOpenGL: selection passes with and without culling,
# and ray hits on a big mesh against brute force, each against its bare
# baseline from the same run.
find_package(benchmark REQUIRED)

add_executable(SceneItemsBench ${CMAKE_CURRENT_LIST_DIR}/SceneItemsBench.cpp)
target_link_libraries(SceneItemsBench PRIVATE
  nimbo_build_options KivVizOpenGL KivVizOpenGLKernels Nimbo::Win32 benchmark::benchmark)
