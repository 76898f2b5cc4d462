<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES">
<context>
    <name>TAboutBox</name>
    <message>
        <source>About</source>
        <translation>Acerca de</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
</context>
<context>
    <name>TAddForm</name>
    <message>
        <source>Add Files</source>
        <translation>Añadir ficheros</translation>
    </message>
    <message>
        <source>Select All Files</source>
        <translation>Seleccionar todo</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Opciones</translation>
    </message>
    <message>
        <source>Save DirNames</source>
        <translation>Guardar carpetas</translation>
    </message>
    <message>
        <source>Recurse Dirs</source>
        <translation>Subcarpetas</translation>
    </message>
    <message>
        <source>Encrypt Files</source>
        <translation>Cifrar ficheros</translation>
    </message>
    <message>
        <source>Add &amp;Dir  ==&gt;</source>
        <translation>Añadir &amp;carpeta  ==&gt;</translation>
    </message>
    <message>
        <source>&amp;Add File ==&gt;</source>
        <translation>&amp;Añadir fichero ==&gt;</translation>
    </message>
    <message>
        <source>&amp;Remove &lt;==</source>
        <translation>&amp;Quitar &lt;==</translation>
    </message>
    <message>
        <source>DO IT &amp;NOW</source>
        <translation>&amp;HACERLO YA</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>Ca&amp;ncelar</translation>
    </message>
    <message>
        <source>Files to Add:</source>
        <translation>A añadir:</translation>
    </message>
    <message>
        <source>&amp;Sort</source>
        <translation>&amp;Ordenar</translation>
    </message>
</context>
<context>
    <name>TExtract</name>
    <message>
        <source>Select Extract Directory</source>
        <translation>Elegir la carpeta de extracción</translation>
    </message>
    <message>
        <source>Expand ZIP Dirs</source>
        <translation>Crear las carpetas</translation>
    </message>
    <message>
        <source>No</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Sí</translation>
    </message>
    <message>
        <source>OverWrite Existing</source>
        <translation>Sobrescribir</translation>
    </message>
    <message>
        <source>Files to Extract</source>
        <translation>Ficheros a extraer</translation>
    </message>
    <message>
        <source>All Files</source>
        <translation>Todos los ficheros</translation>
    </message>
    <message>
        <source>Selected Files</source>
        <translation>Ficheros elegidos</translation>
    </message>
    <message>
        <source>&amp;Ok</source>
        <translation>&amp;Aceptar</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Cancelar</translation>
    </message>
</context>
<context>
    <name>TMainform</name>
    <message>
        <source>Unknown error</source>
        <translation>Error desconocido</translation>
    </message>
    <message>
        <source>&lt;none&gt;</source>
        <translation>&lt;ninguno&gt;</translation>
    </message>
    <message>
        <source>Open Existing ZIP File</source>
        <translation>Abrir un fichero ZIP existente</translation>
    </message>
    <message>
        <source>ZIP Files (*.ZIP, *.EXE)|*.zip;*.exe</source>
        <translation>Ficheros ZIP (*.ZIP, *.EXE)|*.zip;*.exe</translation>
    </message>
    <message>
        <source>Create New ZIP File</source>
        <translation>Crear un fichero ZIP nuevo</translation>
    </message>
    <message>
        <source>ZIP Files (*.ZIP)|*.zip</source>
        <translation>Ficheros ZIP (*.ZIP)|*.zip</translation>
    </message>
    <message>
        <source>Error: you must create a .ZIP file, then convert to .EXE</source>
        <translation>Error: cree un fichero .ZIP y conviértalo después a .EXE</translation>
    </message>
    <message>
        <source>Error: your new archive must end in .ZIP</source>
        <translation>Error: su archivo nuevo debe terminar en .ZIP</translation>
    </message>
    <message>
        <source>Overwrite Existing File: %1?</source>
        <translation>¿Sobrescribir el fichero existente: %1?</translation>
    </message>
    <message>
        <source>Zip file not found: %1</source>
        <translation>No se encuentra el fichero ZIP: %1</translation>
    </message>
    <message>
        <source>Are you sure you want to delete: %1?</source>
        <translation>¿Seguro que quiere borrar: %1?</translation>
    </message>
    <message>
        <source>Error - could not delete: %1</source>
        <translation>Error - no se pudo borrar: %1</translation>
    </message>
    <message>
        <source>Convert to ZIP</source>
        <translation>Convertir a ZIP</translation>
    </message>
    <message>
        <source>Convert to EXE</source>
        <translation>Convertir a EXE</translation>
    </message>
    <message>
        <source>Error - open a zip file first</source>
        <translation>Error - abra primero un fichero ZIP</translation>
    </message>
    <message>
        <source>No files selected</source>
        <translation>No hay ficheros elegidos</translation>
    </message>
    <message>
        <source>No files to add</source>
        <translation>No hay ficheros que añadir</translation>
    </message>
    <message>
        <source>Beginning Add to %1</source>
        <translation>Empieza a añadir a %1</translation>
    </message>
    <message>
        <source>Error in Add; Fatal DLL Exception in mainunit</source>
        <translation>Error al añadir; excepción fatal de la DLL en mainunit</translation>
    </message>
    <message>
        <source>Error: file not found: %1</source>
        <translation>Error: no se encuentra el fichero: %1</translation>
    </message>
    <message>
        <source>Error - no files to extract</source>
        <translation>Error - no hay ficheros que extraer</translation>
    </message>
    <message>
        <source>Error - no files selected</source>
        <translation>Error - no hay ficheros elegidos</translation>
    </message>
    <message>
        <source>Beginning Extract from %1</source>
        <translation>Empieza a extraer de %1</translation>
    </message>
    <message>
        <source>Error in Extract; Fatal DLL Exception in mainunit</source>
        <translation>Error al extraer; excepción fatal de la DLL en mainunit</translation>
    </message>
    <message>
        <source>Error - no files to delete</source>
        <translation>Error - no hay ficheros que borrar</translation>
    </message>
    <message>
        <source>Delete selected files from: %1?</source>
        <translation>¿Borrar los ficheros elegidos de: %1?</translation>
    </message>
    <message>
        <source>Beginning delete from %1</source>
        <translation>Empieza a borrar de %1</translation>
    </message>
    <message>
        <source>Fatal error trying to delete</source>
        <translation>Error fatal al borrar</translation>
    </message>
    <message>
        <source>Error - nothing to Test</source>
        <translation>Error - nada que probar</translation>
    </message>
    <message>
        <source>Beginning test of %1</source>
        <translation>Empieza a probar %1</translation>
    </message>
    <message>
        <source>Error: no files in archive</source>
        <translation>Error: no hay ficheros en el archivo</translation>
    </message>
    <message>
        <source>Filename is now: %1</source>
        <translation>El nombre del fichero es ahora: %1</translation>
    </message>
    <message>
        <source>Error occured in making .ZIP file</source>
        <translation>Error al crear el fichero .ZIP</translation>
    </message>
    <message>
        <source>Error occured in making .EXE file</source>
        <translation>Error al crear el fichero .EXE</translation>
    </message>
    <message numerus="yes">
        <source>%n files were added</source>
        <translation>
            <numerusform>Se añadió %n fichero</numerusform>
            <numerusform>Se añadieron %n ficheros</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files were extracted</source>
        <translation>
            <numerusform>Se extrajo %n fichero</numerusform>
            <numerusform>Se extrajeron %n ficheros</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files were deleted</source>
        <translation>
            <numerusform>Se borró %n fichero</numerusform>
            <numerusform>Se borraron %n ficheros</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>All %n files tested OK</source>
        <translation>
            <numerusform>El fichero probado está bien (%n)</numerusform>
            <numerusform>Los %n ficheros probados están bien</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>ERROR: %n files tested BAD, or skipped!</source>
        <translation>
            <numerusform>ERROR: ¡%n fichero está DAÑADO o se omitió!</numerusform>
            <numerusform>ERROR: ¡%n ficheros están DAÑADOS o se omitieron!</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n of them replaced a member of the same name</source>
        <translation>
            <numerusform>%n de ellos sustituyó a un miembro del mismo nombre</numerusform>
            <numerusform>%n de ellos sustituyeron a un miembro del mismo nombre</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n of them replaced a member of the same name: choose Expand ZIP Dirs to keep folders</source>
        <translation>
            <numerusform>%n de ellos sustituyó a un miembro del mismo nombre: elija Crear las carpetas para conservarlas</numerusform>
            <numerusform>%n de ellos sustituyeron a un miembro del mismo nombre: elija Crear las carpetas para conservarlas</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n files were skipped: they already exist (choose OverWrite Existing to replace them)</source>
        <translation>
            <numerusform>Se omitió %n fichero: ya existe (elija Sobrescribir para sustituirlo)</numerusform>
            <numerusform>Se omitieron %n ficheros: ya existen (elija Sobrescribir para sustituirlos)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Cancelled: %n files were extracted before the stop</source>
        <translation>
            <numerusform>Cancelado: se extrajo %n fichero antes de parar</numerusform>
            <numerusform>Cancelado: se extrajeron %n ficheros antes de parar</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Cancelled: %n files were tested before the stop</source>
        <translation>
            <numerusform>Cancelado: se probó %n fichero antes de parar</numerusform>
            <numerusform>Cancelado: se probaron %n ficheros antes de parar</numerusform>
        </translation>
    </message>
    <message>
        <source>Cancelled: nothing was added; the archive was left as it was</source>
        <translation>Cancelado: no se añadió nada; el archivo quedó como estaba</translation>
    </message>
    <message>
        <source>Cancelled: nothing was deleted; the archive was left as it was</source>
        <translation>Cancelado: no se borró nada; el archivo quedó como estaba</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Contraseña</translation>
    </message>
    <message>
        <source>Password for the files to add:</source>
        <translation>Contraseña de los ficheros a añadir:</translation>
    </message>
    <message>
        <source>The same password again:</source>
        <translation>La misma contraseña otra vez:</translation>
    </message>
    <message>
        <source>Password for the encrypted files in %1:</source>
        <translation>Contraseña de los ficheros cifrados de %1:</translation>
    </message>
    <message>
        <source>The password did not open %1. Another password for the encrypted files in %2:</source>
        <translation>La contraseña no abrió %1. Otra contraseña para los ficheros cifrados de %2:</translation>
    </message>
    <message>
        <source>Error - the password is empty</source>
        <translation>Error - la contraseña está vacía</translation>
    </message>
    <message>
        <source>Error - the two passwords differ</source>
        <translation>Error - las dos contraseñas no coinciden</translation>
    </message>
    <message>
        <source>Error - the password is longer than 80 bytes</source>
        <translation>Error - la contraseña tiene más de 80 bytes</translation>
    </message>
    <message>
        <source>&amp;Find:</source>
        <translation>B&amp;uscar:</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 de %2</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>&amp;Abrir</translation>
    </message>
    <message>
        <source>&amp;Extract…</source>
        <translation>&amp;Extraer…</translation>
    </message>
    <message>
        <source>&amp;Delete…</source>
        <translation>&amp;Borrar…</translation>
    </message>
    <message>
        <source>&amp;Test</source>
        <translation>&amp;Probar</translation>
    </message>
    <message>
        <source>&amp;Copy Name</source>
        <translation>&amp;Copiar nombre</translation>
    </message>
    <message>
        <source>&amp;Copy Names</source>
        <translation>&amp;Copiar nombres</translation>
    </message>
    <message>
        <source>P&amp;roperties</source>
        <translation>P&amp;ropiedades</translation>
    </message>
    <message>
        <source>Open %1, or add it to %2?</source>
        <translation>¿Abrir %1 o añadirlo a %2?</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>Aña&amp;dir</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Error - could not open: %1</source>
        <translation>Error - no se pudo abrir: %1</translation>
    </message>
    <message>
        <source>%1 was changed. Update it in %2?</source>
        <translation>%1 ha cambiado. ¿Actualizarlo en %2?</translation>
    </message>
    <message>
        <source>&amp;New Zip</source>
        <translation>&amp;Nuevo Zip</translation>
    </message>
    <message>
        <source>&amp;Open Zip</source>
        <translation>&amp;Abrir Zip</translation>
    </message>
    <message>
        <source>Dest&amp;roy Zip</source>
        <translation>Dest&amp;ruir Zip</translation>
    </message>
    <message>
        <source>A&amp;bout</source>
        <translation>A&amp;cerca de</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Salir</translation>
    </message>
    <message>
        <source>files</source>
        <translation>ficheros</translation>
    </message>
    <message>
        <source>&amp;Add  to Zip</source>
        <translation>Añadir al &amp;Zip</translation>
    </message>
    <message>
        <source>&amp;Extract from Zip</source>
        <translation>&amp;Extraer del Zip</translation>
    </message>
    <message>
        <source>&amp;Convert to EXE</source>
        <translation>Con&amp;vertir a EXE</translation>
    </message>
    <message>
        <source>&amp;Test Zip</source>
        <translation>&amp;Probar Zip</translation>
    </message>
    <message>
        <source>&amp;Delete From Zip</source>
        <translation>&amp;Borrar del Zip</translation>
    </message>
    <message>
        <source>&amp;Show Msgs</source>
        <translation>&amp;Mensajes</translation>
    </message>
    <message>
        <source>Time:</source>
        <translation>Tiempo:</translation>
    </message>
    <message>
        <source>Zipfile:</source>
        <translation>Archivo:</translation>
    </message>
    <message>
        <source>File Name</source>
        <translation>Nombre del fichero</translation>
    </message>
    <message>
        <source>Compr Size</source>
        <translation>En el zip</translation>
    </message>
    <message>
        <source>Uncmpr Size</source>
        <translation>Original</translation>
    </message>
    <message>
        <source>Date/Time</source>
        <translation>Fecha/Hora</translation>
    </message>
</context>
<context>
    <name>TMakeSFX</name>
    <message>
        <source>Make Self Extracting Archive</source>
        <translation>Crear un programa autoextraíble</translation>
    </message>
    <message>
        <source>Default Overwrite Action</source>
        <translation>Sobrescritura por defecto</translation>
    </message>
    <message>
        <source>&amp;Ask User</source>
        <translation>&amp;Preguntar al usuario</translation>
    </message>
    <message>
        <source>Al&amp;ways Overwrite</source>
        <translation>Sobrescribir &amp;siempre</translation>
    </message>
    <message>
        <source>S&amp;kip extraction</source>
        <translation>&amp;Omitir la extracción</translation>
    </message>
    <message>
        <source>Allow User to avoid running the command &amp;line</source>
        <translation>Permitir al usuario evitar la &amp;línea de comandos</translation>
    </message>
    <message>
        <source>Allow User to modify the &amp;file list to be extracted</source>
        <translation>Permitir al usuario cambiar la lista de &amp;ficheros</translation>
    </message>
    <message>
        <source>&amp;Hide the Overwrite Action group box at run time</source>
        <translation>Oc&amp;ultar la elección de sobrescritura al ejecutar</translation>
    </message>
    <message>
        <source>&amp;Do It Now</source>
        <translation>&amp;Hacerlo ahora</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Cancelar</translation>
    </message>
    <message>
        <source>Ca&amp;ption of the Self Extracting Archive Program</source>
        <translation>&amp;Título del programa autoextraíble</translation>
    </message>
    <message>
        <source>Default Extract Di&amp;rectory on User&apos;s Computer  (if &apos;&gt;&lt;&apos; then the temporary directory will be used)</source>
        <translation>Carpeta de extracción pre&amp;determinada del usuario  (si es &apos;&gt;&lt;&apos; se usa la carpeta temporal)</translation>
    </message>
    <message>
        <source>Special Command Line Symbols:</source>
        <translation>Símbolos especiales de la línea de comandos:</translation>
    </message>
    <message>
        <source>A vertical bar &apos;|&apos; separates the program name from the argument list</source>
        <translation>Una barra vertical &apos;|&apos; separa el nombre del programa de sus argumentos</translation>
    </message>
    <message>
        <source>Two Arrows &apos;&gt;&lt;&apos; will be replaced by the actual extract directory</source>
        <translation>Dos flechas &apos;&gt;&lt;&apos; se sustituyen por la carpeta de extracción real</translation>
    </message>
    <message>
        <source>The following example runs notepad to display readme.txt in extract dir:</source>
        <translation>Este ejemplo muestra readme.txt de la carpeta de extracción con notepad:</translation>
    </message>
    <message>
        <source>Command Line to &amp;Exec After Extraction</source>
        <translation>Línea de comandos a &amp;ejecutar tras la extracción</translation>
    </message>
</context>
<context>
    <name>TMessageBox</name>
    <message>
        <source>Confirm</source>
        <translation>Confirmar</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Sí</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;No</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
</context>
<context>
    <name>TMsgform</name>
    <message>
        <source>Memo Full - Updating Stopped, but your operation is continuing...</source>
        <translation>Lista de mensajes llena - ya no se actualiza, pero la operación continúa...</translation>
    </message>
    <message>
        <source>Error Msg from DLL: %1</source>
        <translation>Mensaje de error de la DLL: %1</translation>
    </message>
    <message>
        <source>Zip Messages</source>
        <translation>Mensajes Zip</translation>
    </message>
    <message>
        <source>Progress of All Files</source>
        <translation>Progreso total</translation>
    </message>
    <message>
        <source>&amp;Cancel Operation</source>
        <translation>&amp;Cancelar la operación</translation>
    </message>
    <message>
        <source>&amp;Dismiss this Window</source>
        <translation>Ce&amp;rrar esta ventana</translation>
    </message>
    <message>
        <source>File being manipulated</source>
        <translation>Fichero en curso</translation>
    </message>
</context>
<context>
    <name>TOpenDialog</name>
    <message>
        <source>Recent:</source>
        <translation>Recientes:</translation>
    </message>
</context>
<context>
    <name>TPropertiesBox</name>
    <message>
        <source>Archive Properties</source>
        <translation>Propiedades del archivo</translation>
    </message>
    <message>
        <source>Archive:</source>
        <translation>Archivo:</translation>
    </message>
    <message>
        <source>Size on disk:</source>
        <translation>Tamaño en disco:</translation>
    </message>
    <message>
        <source>Members:</source>
        <translation>Miembros:</translation>
    </message>
    <message>
        <source>Packed:</source>
        <translation>Comprimido:</translation>
    </message>
    <message>
        <source>Unpacked:</source>
        <translation>Descomprimido:</translation>
    </message>
    <message>
        <source>Ratio:</source>
        <translation>Proporción:</translation>
    </message>
    <message>
        <source>%1%</source>
        <translation>%1 %</translation>
    </message>
    <message>
        <source>Encrypted:</source>
        <translation>Cifrados:</translation>
    </message>
    <message>
        <source>Self-extractor stub:</source>
        <translation>Cabecera del programa autoextraíble:</translation>
    </message>
    <message>
        <source>Comment:</source>
        <translation>Comentario:</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 bytes</translation>
    </message>
    <message>
        <source>not on disk</source>
        <translation>no está en disco</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Ninguno</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 de %2</translation>
    </message>
    <message>
        <source>, with %1</source>
        <translation>, con %1</translation>
    </message>
    <message>
        <source> and %1</source>
        <translation> y %1</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
</context>
</TS>
