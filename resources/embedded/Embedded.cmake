# The files embedded in the program, written out by ExtractTemplate(NAME, KIND, target).
# Each is kept here as a readable source; a file that is itself built (a workbook, a table)
# names the generator target that produces it:
#   tvx_embed(NAME KIND FILE [GENERATED_BY target])
# Included by src/core/CMakeLists.txt; generators must be defined before it.

# The three empty dBase level 7 tables of the export to SAGA, built from their field lists
# in resources/embedded/saga by tools/tvxdbfmodel.
tvx_embed(Articole MODEL ${TVX_SAGA_MODEL_DIR}/Articole.dbf GENERATED_BY saga_models)
tvx_embed(IN MODEL ${TVX_SAGA_MODEL_DIR}/IN.dbf GENERATED_BY saga_models)
tvx_embed(IE MODEL ${TVX_SAGA_MODEL_DIR}/IE.dbf GENERATED_BY saga_models)
# The reception sheet a pre-order prints through, written to the data directory when missing.
tvx_embed(PrecoMod Model ${CMAKE_SOURCE_DIR}/resources/embedded/PrecoMod.rtf)
# The head of the e-invoice XML: the declaration and the Invoice start tag with its namespaces.
tvx_embed(XMLANAF MODEL ${CMAKE_CURRENT_LIST_DIR}/XMLANAF.xml)
# The workbook templates, built by tools/tvxworkbook from their descriptions (*.wb.txt).
tvx_embed(NIRTVA Model ${CMAKE_BINARY_DIR}/resources/embedded/NIRTVA.xls GENERATED_BY tvx_workbook_templates)
tvx_embed(JurnVFact MODEL ${CMAKE_BINARY_DIR}/resources/embedded/JurnVFact.xls GENERATED_BY tvx_workbook_templates)
tvx_embed(RegCasa MODEL ${CMAKE_BINARY_DIR}/resources/embedded/RegCasa.xls GENERATED_BY tvx_workbook_templates)
