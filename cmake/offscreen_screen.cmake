# offscreen_screen(VAR WIDTH HEIGHT [DPR]): writes a screen description for Qt's offscreen
# platform into the build folder and sets VAR to the platform string that uses it.
function(offscreen_screen var width height)
  set(dpr 1)
  if(ARGC GREATER 3)
    set(dpr ${ARGV3})
  endif()
  set(config ${PROJECT_BINARY_DIR}/screens/screen_${width}x${height}@${dpr}.json)
  file(WRITE ${config} "{ \"screens\": [ { \"name\": \"${width}x${height}\", \"x\": 0, \"y\": 0, \"width\": ${width}, "
                       "\"height\": ${height}, \"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": ${dpr} } ] }\n")
  set(${var} "offscreen:configfile=${config}" PARENT_SCOPE)
endfunction()
