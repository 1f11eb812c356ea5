# velmora_windows_path(<out-var> <unix-path>)
# The path under which a program running under wine sees a folder of this
# machine: wine maps the Unix root to drive Z:, so /x/y becomes Z:\x\y.
# Written doubly escaped, ready for a C string in a compile definition.
function(velmora_windows_path out path)
  string(REPLACE "/" "\\\\" windows "${path}")
  set(${out} "Z:${windows}" PARENT_SCOPE)
endfunction()
