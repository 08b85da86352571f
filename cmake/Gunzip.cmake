# cmake -DINPUT=<file[.gz]> -DOUTPUT=<file> -P Gunzip.cmake
# Unpacks a gzip file (or copies a plain one) at build time.
if(INPUT MATCHES "\\.gz$")
  execute_process(COMMAND gzip -dc ${INPUT} OUTPUT_FILE ${OUTPUT} RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "Could not unpack ${INPUT}")
  endif()
else()
  configure_file(${INPUT} ${OUTPUT} COPYONLY)
endif()
