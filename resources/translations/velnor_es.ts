<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES" sourcelanguage="en">
<context>
    <name>AboutDialog</name>
    <message>
        <source>&lt;h3&gt;Velnor %1&lt;/h3&gt;&lt;p&gt;Renames many files at once.&lt;/p&gt;&lt;p&gt;Copyright © 2026 Velnor&lt;/p&gt;&lt;p&gt;Velnor is free software: you may share and change it under the terms of the GNU General Public License, version 3 or any later version (%2). It comes with no warranty.&lt;/p&gt;&lt;p&gt;Uses Qt %3 (LGPL-3.0).&lt;/p&gt;&lt;p&gt;&lt;a href=&quot;%4&quot;&gt;%4&lt;/a&gt;&lt;/p&gt;</source>
        <translation>&lt;h3&gt;Velnor %1&lt;/h3&gt;&lt;p&gt;Renombra muchos archivos a la vez.&lt;/p&gt;&lt;p&gt;Copyright © 2026 Velnor&lt;/p&gt;&lt;p&gt;Velnor es software libre: puede redistribuirlo y modificarlo según los términos de la Licencia Pública General de GNU, versión 3 o cualquier versión posterior (%2). Se ofrece sin ninguna garantía.&lt;/p&gt;&lt;p&gt;Usa Qt %3 (LGPL-3.0).&lt;/p&gt;&lt;p&gt;&lt;a href=&quot;%4&quot;&gt;%4&lt;/a&gt;&lt;/p&gt;</translation>
    </message>
    <message>
        <source>About Velnor</source>
        <translation>Acerca de Velnor</translation>
    </message>
</context>
<context>
    <name>AccessGrant</name>
    <message>
        <source>Folder Access</source>
        <translation>Acceso a carpetas</translation>
    </message>
    <message>
        <source>Allow Renaming</source>
        <translation>Permitir renombrar</translation>
    </message>
    <message>
        <source>Velnor asks before it renames files in a folder for the first time. The answer is remembered for the chosen folder and every folder inside it, so you are not asked there again. Choose a folder higher up to allow more at once.</source>
        <translation>Velnor pregunta antes de renombrar archivos en una carpeta por primera vez. La respuesta se recuerda para la carpeta elegida y para todas las carpetas que contiene, así que allí no se le volverá a preguntar. Elija una carpeta más arriba para permitir más a la vez.</translation>
    </message>
    <message>
        <source>No files were renamed. Velnor renames files only in folders you have allowed.</source>
        <translation>No se ha renombrado ningún archivo. Velnor solo renombra archivos en las carpetas que usted ha permitido.</translation>
    </message>
</context>
<context>
    <name>CountText</name>
    <message>
        <source>No files</source>
        <translation>Ningún archivo</translation>
    </message>
    <message numerus="yes">
        <source>%n file(s)</source>
        <translation>
            <numerusform>%n archivo</numerusform>
            <numerusform>%n archivos</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FileTableModel</name>
    <message>
        <source>Old Name</source>
        <translation>Nombre anterior</translation>
    </message>
    <message>
        <source>New Name</source>
        <translation>Nombre nuevo</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Tamaño</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Fecha</translation>
    </message>
    <message>
        <source>Location</source>
        <translation>Ubicación</translation>
    </message>
    <message>
        <source>Typed by hand</source>
        <translation>Escrito a mano</translation>
    </message>
    <message>
        <source>Moves with %1</source>
        <translation>Se renombra con %1</translation>
    </message>
    <message>
        <source>Reading metadata…</source>
        <translation>Leyendo metadatos…</translation>
    </message>
</context>
<context>
    <name>FolderAccessDialog</name>
    <message>
        <source>Folder Access</source>
        <translation>Acceso a carpetas</translation>
    </message>
    <message>
        <source>Velnor renames files without asking in these folders and in every folder inside them.</source>
        <translation>Velnor renombra archivos sin preguntar en estas carpetas y en todas las carpetas que contienen.</translation>
    </message>
    <message>
        <source>No folders allowed yet.</source>
        <translation>Todavía no hay carpetas permitidas.</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Quitar</translation>
    </message>
</context>
<context>
    <name>HistoryWindow</name>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Deshacer</translation>
    </message>
    <message>
        <source>Re&amp;do</source>
        <translation>&amp;Rehacer</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Cerrar</translation>
    </message>
    <message>
        <source>Rename History</source>
        <translation>Historial de renombrados</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Hora</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Carpeta</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Archivos</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Estado</translation>
    </message>
    <message>
        <source>Interrupted</source>
        <translation>Interrumpido</translation>
    </message>
    <message>
        <source>Renamed</source>
        <translation>Renombrado</translation>
    </message>
    <message>
        <source>Undone</source>
        <translation>Deshecho</translation>
    </message>
    <message>
        <source>Redone</source>
        <translation>Rehecho</translation>
    </message>
    <message>
        <source>Undo interrupted</source>
        <translation>Deshacer interrumpido</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 de %2</translation>
    </message>
    <message>
        <source>Running</source>
        <translation>En curso</translation>
    </message>
    <message>
        <source>1 journal could not be read</source>
        <translation>No se pudo leer 1 registro</translation>
    </message>
    <message>
        <source>%1 journals could not be read</source>
        <translation>No se pudieron leer %1 registros</translation>
    </message>
    <message>
        <source>Partly undone</source>
        <translation>Deshecho en parte</translation>
    </message>
</context>
<context>
    <name>JobBar</name>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>%1 files found</source>
        <translation>Archivos encontrados: %1</translation>
    </message>
    <message>
        <source>Renaming %1 of %2</source>
        <translation>Renombrando %1 de %2</translation>
    </message>
    <message>
        <source>Redoing %1 of %2</source>
        <translation>Rehaciendo %1 de %2</translation>
    </message>
    <message>
        <source>Undoing %1 of %2</source>
        <translation>Deshaciendo %1 de %2</translation>
    </message>
    <message>
        <source>1 folder could not be read</source>
        <translation>No se pudo leer 1 carpeta</translation>
    </message>
    <message>
        <source>%1 folders could not be read</source>
        <translation>No se pudieron leer %1 carpetas</translation>
    </message>
    <message>
        <source>Reading metadata %1 of %2</source>
        <translation>Leyendo metadatos %1 de %2</translation>
    </message>
    <message numerus="yes">
        <source>Cancelled: %n file(s) listed, the list is incomplete</source>
        <translation>
            <numerusform>Cancelado: %n archivo listado, la lista está incompleta</numerusform>
            <numerusform>Cancelado: %n archivos listados, la lista está incompleta</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ListingControls</name>
    <message>
        <source>Add Fol&amp;der…</source>
        <translation>Añadir carpe&amp;ta…</translation>
    </message>
    <message>
        <source>Add a folder and every file below it to the list</source>
        <translation>Añadir a la lista una carpeta y todos los archivos que contiene</translation>
    </message>
    <message>
        <source>Filter: *.jpg *.png</source>
        <translation>Filtro: *.jpg *.png</translation>
    </message>
    <message>
        <source>Of the folders added from now on, list only the files whose names match one of these patterns (* any text, ? one character), without regard to case. Empty: every file</source>
        <translation>De las carpetas que se añadan a partir de ahora, listar solo los archivos cuyo nombre coincida con uno de estos patrones (* cualquier texto, ? un carácter), sin distinguir mayúsculas. Vacío: todos los archivos</translation>
    </message>
    <message>
        <source>&amp;Hidden files</source>
        <translation>Archivos &amp;ocultos</translation>
    </message>
    <message>
        <source>List the files of the folders added from now on whose names start with a dot, and the folders so named (.git)</source>
        <translation>Listar también, en las carpetas que se añadan a partir de ahora, los archivos cuyo nombre empieza por un punto, y recorrer las carpetas así llamadas (.git)</translation>
    </message>
    <message>
        <source>Add Folder</source>
        <translation>Añadir carpeta</translation>
    </message>
</context>
<context>
    <name>MetaControls</name>
    <message>
        <source>24-hour c&amp;lock</source>
        <translation>Reloj de &amp;24 horas</translation>
    </message>
    <message>
        <source>Write the hour of the time tokens as 00 to 23</source>
        <translation>Escribir la hora de los marcadores de hora de 00 a 23</translation>
    </message>
    <message>
        <source>Where the date and time tokens, the Date column and the sort by date take each file&apos;s date from; the first source that has a date gives it. A file without one is not renamed.</source>
        <translation>De dónde toman la fecha de cada archivo los marcadores de fecha y hora, la columna Fecha y el orden por fecha; la primera fuente que tiene una fecha la da. Un archivo sin fecha no se renombra.</translation>
    </message>
    <message>
        <source>Photos and videos</source>
        <translation>Fotos y vídeos</translation>
    </message>
    <message>
        <source>Camera mak&amp;er</source>
        <translation>&amp;Marca de la cámara</translation>
    </message>
    <message>
        <source>Camera &amp;model</source>
        <translation>M&amp;odelo de la cámara</translation>
    </message>
    <message>
        <source>&amp;Lens</source>
        <translation>Ob&amp;jetivo</translation>
    </message>
    <message>
        <source>&amp;Width</source>
        <translation>&amp;Ancho</translation>
    </message>
    <message>
        <source>&amp;Height</source>
        <translation>A&amp;lto</translation>
    </message>
    <message>
        <source>Audio</source>
        <translation>Audio</translation>
    </message>
    <message>
        <source>&amp;Artist</source>
        <translation>A&amp;rtista</translation>
    </message>
    <message>
        <source>Album a&amp;rtist</source>
        <translation>Artista del ál&amp;bum</translation>
    </message>
    <message>
        <source>Al&amp;bum</source>
        <translation>Álb&amp;um</translation>
    </message>
    <message>
        <source>&amp;Title</source>
        <translation>&amp;Título</translation>
    </message>
    <message>
        <source>Track &amp;number</source>
        <translation>&amp;Número de pista</translation>
    </message>
    <message>
        <source>&amp;Disc number</source>
        <translation>Número de &amp;disco</translation>
    </message>
    <message>
        <source>&amp;Year</source>
        <translation>A&amp;ño</translation>
    </message>
    <message>
        <source>&amp;Genre</source>
        <translation>&amp;Género</translation>
    </message>
    <message>
        <source>Other &amp;Field…</source>
        <translation>Otro &amp;campo…</translation>
    </message>
    <message>
        <source>modified</source>
        <translation>modificación</translation>
    </message>
    <message>
        <source>created</source>
        <translation>creación</translation>
    </message>
    <message>
        <source>taken</source>
        <translation>captura</translation>
    </message>
    <message>
        <source>, else </source>
        <comment>between date sources</comment>
        <translation>, si no, </translation>
    </message>
    <message>
        <source>Other Field</source>
        <translation>Otro campo</translation>
    </message>
    <message>
        <source>The field&apos;s key: an Exif, IPTC or XMP key such as Exif.Photo.FNumber or Xmp.dc.title, or an audio tag such as COMPOSER.</source>
        <translation>La clave del campo: una clave Exif, IPTC o XMP como Exif.Photo.FNumber o Xmp.dc.title, o una etiqueta de audio como COMPOSER.</translation>
    </message>
    <message>
        <source>Metadata</source>
        <translation>Metadatos</translation>
    </message>
    <message>
        <source>Append a value from inside the file: camera, song, any field (%1)</source>
        <translation>Añadir un valor del interior del archivo: cámara, canción, cualquier campo (%1)</translation>
    </message>
    <message>
        <source>Dates from:</source>
        <translation>Fechas tomadas de:</translation>
    </message>
</context>
<context>
    <name>PlanMarks</name>
    <message numerus="yes">
        <source>%n file(s) cannot be renamed</source>
        <translation>
            <numerusform>%n archivo no se puede renombrar</numerusform>
            <numerusform>%n archivos no se pueden renombrar</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PresetMenu</name>
    <message>
        <source>Prese&amp;ts</source>
        <translation>Prea&amp;justes</translation>
    </message>
    <message>
        <source>&amp;Save Settings as Preset…</source>
        <translation>&amp;Guardar los ajustes como preajuste…</translation>
    </message>
    <message>
        <source>&amp;Delete Preset</source>
        <translation>&amp;Eliminar preajuste</translation>
    </message>
    <message>
        <source>Save Settings as Preset</source>
        <translation>Guardar los ajustes como preajuste</translation>
    </message>
    <message>
        <source>Preset name:</source>
        <translation>Nombre del preajuste:</translation>
    </message>
    <message>
        <source>A preset named “%1” exists. Replace it?</source>
        <translation>Ya existe un preajuste llamado «%1». ¿Quiere reemplazarlo?</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Reemplazar</translation>
    </message>
</context>
<context>
    <name>RenamePlan</name>
    <message>
        <source>The folder cannot be opened: %1</source>
        <translation>No se puede abrir la carpeta: %1</translation>
    </message>
    <message>
        <source>The folder is on a read-only file system.</source>
        <translation>La carpeta está en un sistema de archivos de solo lectura.</translation>
    </message>
    <message>
        <source>The folder cannot be written: %1</source>
        <translation>No se puede escribir en la carpeta: %1</translation>
    </message>
    <message>
        <source>The new name holds a control character, which a %1 folder cannot hold.</source>
        <translation>El nombre nuevo contiene un carácter de control, que una carpeta %1 no admite.</translation>
    </message>
    <message>
        <source>The new name holds “%1”, which a %2 folder cannot hold.</source>
        <translation>El nombre nuevo contiene «%1», que una carpeta %2 no admite.</translation>
    </message>
    <message>
        <source>The new name ends in a dot or a space, which a %1 folder cannot hold.</source>
        <translation>El nombre nuevo termina en un punto o un espacio, que una carpeta %1 no admite.</translation>
    </message>
    <message>
        <source>“%1” is a reserved name on a %2 folder.</source>
        <translation>«%1» es un nombre reservado en una carpeta %2.</translation>
    </message>
    <message>
        <source>The new name is longer than 255 UTF-16 units, more than a %1 folder can hold.</source>
        <translation>El nombre nuevo supera las 255 unidades UTF-16, más de lo que admite una carpeta %1.</translation>
    </message>
    <message>
        <source>row %1 (%2)</source>
        <translation>fila %1 (%2)</translation>
    </message>
    <message>
        <source>The same file as %1, listed twice.</source>
        <translation>El mismo archivo que %1, listado dos veces.</translation>
    </message>
    <message>
        <source>The new name is taken by %1, which is not renamed.</source>
        <translation>El nombre nuevo lo tiene %1, que no se renombra.</translation>
    </message>
    <message>
        <source>%1 is taken by a file that is not listed.</source>
        <translation>%1 lo tiene un archivo que no está en la lista.</translation>
    </message>
    <message>
        <source>The same new name as %1.</source>
        <translation>El mismo nombre nuevo que %1.</translation>
    </message>
    <message>
        <source>The new name looks the same as that of %1 (the two are canonically equivalent).</source>
        <translation>El nombre nuevo se ve igual que el de %1 (los dos son canónicamente equivalentes).</translation>
    </message>
    <message>
        <source>The new name differs only in case from that of %1, and this folder does not tell case apart.</source>
        <translation>El nombre nuevo solo se diferencia del de %1 en mayúsculas y minúsculas, y esta carpeta no las distingue.</translation>
    </message>
    <message>
        <source>%1 is not a folder.</source>
        <translation>%1 no es una carpeta.</translation>
    </message>
    <message>
        <source>%1 is taken in the folder %2.</source>
        <translation>%1 ya está ocupado en la carpeta %2.</translation>
    </message>
    <message>
        <source>%1 in the folder %2 is the new name of %3.</source>
        <translation>%1 en la carpeta %2 es el nombre nuevo de la %3.</translation>
    </message>
    <message>
        <source>It moves with %1, which cannot be renamed.</source>
        <translation>Se mueve con %1, que no se puede renombrar.</translation>
    </message>
    <message>
        <source>A companion file, %1, cannot be renamed.</source>
        <translation>Un archivo acompañante, %1, no se puede renombrar.</translation>
    </message>
</context>
<context>
    <name>RenameRun</name>
    <message>
        <source>The new name is empty.</source>
        <translation>El nombre nuevo está vacío.</translation>
    </message>
    <message>
        <source>The new name “%1” is not allowed.</source>
        <translation>El nombre nuevo «%1» no está permitido.</translation>
    </message>
    <message>
        <source>The new name is longer than 255 bytes.</source>
        <translation>El nombre nuevo supera los 255 bytes.</translation>
    </message>
    <message>
        <source>The new name contains “/”.</source>
        <translation>El nombre nuevo contiene «/».</translation>
    </message>
    <message>
        <source>The new name contains a NUL character.</source>
        <translation>El nombre nuevo contiene un carácter NUL.</translation>
    </message>
    <message>
        <source>The new name holds half of a character (a lone surrogate).</source>
        <translation>El nombre nuevo contiene medio carácter (un sustituto suelto).</translation>
    </message>
    <message>
        <source> (the file was left as “%1”)</source>
        <translation> (el archivo se quedó como «%1»)</translation>
    </message>
    <message>
        <source>%1 renamed successfully.</source>
        <translation>Renombrado correctamente: %1.</translation>
    </message>
    <message>
        <source>Cancelled: %1 not attempted.</source>
        <translation>Cancelado: %1 sin intentar.</translation>
    </message>
    <message>
        <source>%1 could not be renamed:</source>
        <translation>Error al renombrar %1:</translation>
    </message>
    <message>
        <source>and %1 more (see the details).</source>
        <translation>y %1 más (vea los detalles).</translation>
    </message>
    <message>
        <source>“%1” to “%2”: %3</source>
        <translation>«%1» a «%2»: %3</translation>
    </message>
    <message>
        <source>Cannot rename “%1” to “%2”: %3</source>
        <translation>No se puede renombrar «%1» a «%2»: %3</translation>
    </message>
    <message>
        <source>cannot write the journal in %1: %2</source>
        <translation>no se puede escribir el registro en %1: %2</translation>
    </message>
    <message>
        <source>The journal could no longer be written (%1), so the run stopped.</source>
        <translation>El registro ya no se podía escribir (%1), así que el cambio de nombres se detuvo.</translation>
    </message>
    <message>
        <source>The new name starts with “/”.</source>
        <translation>El nuevo nombre empieza por «/».</translation>
    </message>
    <message>
        <source>The new name has an empty folder name.</source>
        <translation>El nuevo nombre contiene un nombre de carpeta vacío.</translation>
    </message>
</context>
<context>
    <name>RuleControls</name>
    <message>
        <source>Regular e&amp;xpression</source>
        <translation>E&amp;xpresión regular</translation>
    </message>
    <message>
        <source>Search with a Perl-compatible pattern; the replacement may use $0, $1 to $99, ${name} and $$</source>
        <translation>Buscar con un patrón compatible con Perl; el reemplazo puede usar $0, $1 a $99, ${name} y $$</translation>
    </message>
    <message>
        <source>I&amp;gnore case</source>
        <translation>Ignorar mayúsc&amp;ulas</translation>
    </message>
    <message>
        <source>Title Case</source>
        <translation>Mayúscula Al Inicio De Cada Palabra</translation>
    </message>
    <message>
        <source>Sentence case</source>
        <translation>Mayúscula al inicio de la frase</translation>
    </message>
    <message>
        <source>Restart in each fol&amp;der</source>
        <translation>&amp;Reiniciar en cada carpeta</translation>
    </message>
    <message>
        <source>Count each file among the files of its own folder</source>
        <translation>Contar cada archivo entre los archivos de su propia carpeta</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ver</translation>
    </message>
    <message>
        <source>&amp;Natural Order</source>
        <translation>Orden &amp;natural</translation>
    </message>
    <message>
        <source>Sort names and locations with numbers by value: 2 before 10</source>
        <translation>Ordenar los nombres y ubicaciones con números según su valor: 2 antes que 10</translation>
    </message>
    <message>
        <source>Invalid regular expression: %1 at offset %2. Names are not searched.</source>
        <translation>Expresión regular no válida: %1 en la posición %2. No se buscará en los nombres.</translation>
    </message>
    <message>
        <source>Replacement: %1 at offset %2. Names are not searched.</source>
        <translation>Reemplazo: %1 en la posición %2. No se buscará en los nombres.</translation>
    </message>
    <message>
        <source>Keep companion files &amp;together</source>
        <translation>Mantener &amp;juntos los archivos acompañantes</translation>
    </message>
    <message>
        <source>Files that share a name up to a dot (IMG_0412.CR3, IMG_0412.JPG, IMG_0412.xmp) move as one: the first takes the new name and counts once, the others follow it with their own extensions</source>
        <translation>Los archivos cuyo nombre coincide hasta un punto (IMG_0412.CR3, IMG_0412.JPG, IMG_0412.xmp) se renombran juntos: el primero recibe el nuevo nombre y cuenta una vez, los demás lo siguen con su propia extensión</translation>
    </message>
    <message>
        <source>Plain ASCII onl&amp;y</source>
        <translation>Solo ASCII si&amp;mple</translation>
    </message>
    <message>
        <source>After the other rules, letters lose their accents and other scripts are written in Latin letters: Café Zürich becomes Cafe Zurich</source>
        <translation>Tras las demás reglas, las letras pierden sus acentos y las demás escrituras se escriben con letras latinas: Café Zürich pasa a ser Cafe Zurich</translation>
    </message>
    <message>
        <source>Make names uni&amp;que</source>
        <translation>Hacer los nombres ú&amp;nicos</translation>
    </message>
    <message>
        <source>A new name that is taken gets &quot; (2)&quot;, &quot; (3)&quot;, … before its extension, the first number free in its folder</source>
        <translation>Un nombre nuevo que ya está ocupado recibe &quot; (2)&quot;, &quot; (3)&quot;, … antes de su extensión: el primer número libre en su carpeta</translation>
    </message>
    <message>
        <source>[P] Directory</source>
        <translation>[P] Car&amp;peta</translation>
    </message>
    <message>
        <source>Append the name of the file&apos;s folder ([P2] the folder above it, and so on)</source>
        <translation>Añadir el nombre de la carpeta del archivo ([P2] la carpeta superior, y así sucesivamente)</translation>
    </message>
    <message>
        <source>Allow / to make fol&amp;ders</source>
        <translation>/ crea &amp;carpetas</translation>
    </message>
    <message>
        <source>Each / in the new name is a folder below the file&apos;s own, made where it is missing: [Y]/[M]/[N] moves Trip/IMG_0412.JPG to Trip/2024/05/IMG_0412.JPG</source>
        <translation>Cada / del nuevo nombre es una carpeta bajo la del archivo, creada si falta: [Y]/[M]/[N] mueve Viaje/IMG_0412.JPG a Viaje/2024/05/IMG_0412.JPG</translation>
    </message>
    <message>
        <source>Rename:</source>
        <translation>Renombrar:</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Archivos</translation>
    </message>
    <message>
        <source>Folders</source>
        <translation>Carpetas</translation>
    </message>
    <message>
        <source>Files and Folders</source>
        <translation>Archivos y carpetas</translation>
    </message>
    <message>
        <source>What the folders added from now on list: their files, the folders themselves and every folder below them, or both</source>
        <translation>Lo que listan las carpetas añadidas a partir de ahora: sus archivos, las propias carpetas y cada carpeta debajo de ellas, o ambos</translation>
    </message>
</context>
<context>
    <name>RunConfirmation</name>
    <message numerus="yes">
        <source>%n of %1 files cannot be renamed. Rename the other %2?</source>
        <translation>
            <numerusform>%n de %1 archivos no se puede renombrar. ¿Renombrar los otros %2?</numerusform>
            <numerusform>%n de %1 archivos no se pueden renombrar. ¿Renombrar los otros %2?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>None of the %n file(s) can be renamed.</source>
        <translation>
            <numerusform>El archivo no se puede renombrar.</numerusform>
            <numerusform>Ninguno de los %n archivos se puede renombrar.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Rename %n File(s)</source>
        <translation>
            <numerusform>Renombrar %n archivo</numerusform>
            <numerusform>Renombrar %n archivos</numerusform>
        </translation>
    </message>
    <message>
        <source>…</source>
        <translation>…</translation>
    </message>
    <message>
        <source>“%1”: %2</source>
        <translation>«%1»: %2</translation>
    </message>
</context>
<context>
    <name>Tutorial</name>
    <message numerus="yes">
        <source>Your %n file(s) and your settings come back when the tutorial ends.</source>
        <translation>
            <numerusform>Su archivo y sus ajustes vuelven cuando termina el tutorial.</numerusform>
            <numerusform>Sus %n archivos y sus ajustes vuelven cuando termina el tutorial.</numerusform>
        </translation>
    </message>
    <message>
        <source>&amp;Close Tutorial</source>
        <translation>&amp;Cerrar el tutorial</translation>
    </message>
    <message>
        <source>&amp;Next</source>
        <translation>Siguien&amp;te</translation>
    </message>
</context>
<context>
    <name>UndoControl</name>
    <message>
        <source>The last rename was interrupted before any file was recorded as renamed. Undo what it renamed?</source>
        <translation>El último renombrado se interrumpió antes de que se registrara ningún archivo como renombrado. ¿Quiere deshacer lo que renombró?</translation>
    </message>
    <message>
        <source>The last rename was interrupted after %1 of %2 files. Undo those %1?</source>
        <translation>El último renombrado se interrumpió tras %1 de %2 archivos. ¿Quiere deshacer esos %1?</translation>
    </message>
    <message>
        <source>Folder: %1</source>
        <translation>Carpeta: %1</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Deshacer</translation>
    </message>
    <message>
        <source>&amp;Keep</source>
        <translation>&amp;Conservar</translation>
    </message>
</context>
<context>
    <name>UndoRun</name>
    <message>
        <source>cannot be told apart from another file of the run</source>
        <translation>no se distingue de otro archivo del renombrado</translation>
    </message>
    <message>
        <source>changed since the run</source>
        <translation>modificado desde el renombrado</translation>
    </message>
    <message>
        <source>renamed since the run (now “%1”)</source>
        <translation>renombrado desde entonces (ahora «%1»)</translation>
    </message>
    <message>
        <source>missing</source>
        <translation>no se encuentra</translation>
    </message>
    <message>
        <source>new name taken</source>
        <translation>el nombre nuevo ya existe</translation>
    </message>
    <message>
        <source>old name taken</source>
        <translation>el nombre anterior ya existe</translation>
    </message>
    <message>
        <source>%1 renamed again.</source>
        <translation>Renombrado de nuevo: %1.</translation>
    </message>
    <message>
        <source>%1 restored.</source>
        <translation>Nombres anteriores restaurados: %1.</translation>
    </message>
    <message>
        <source>Cancelled: %1 not attempted.</source>
        <translation>Cancelado: %1 sin intentar.</translation>
    </message>
    <message>
        <source>%1 could not be renamed again:</source>
        <translation>Error al volver a renombrar %1:</translation>
    </message>
    <message>
        <source>%1 could not go back:</source>
        <translation>Error al restaurar el nombre anterior de %1:</translation>
    </message>
    <message>
        <source>and %1 more (see the details).</source>
        <translation>y %1 más (vea los detalles).</translation>
    </message>
    <message>
        <source>“%1”: %2</source>
        <translation>«%1»: %2</translation>
    </message>
    <message>
        <source>“%1” stays, not “%2”: %3</source>
        <translation>«%1» se queda, no «%2»: %3</translation>
    </message>
    <message>
        <source>The journal cannot be read: %1</source>
        <translation>No se puede leer el registro: %1</translation>
    </message>
    <message>
        <source>The journal holds no moves.</source>
        <translation>El registro no contiene ningún cambio de nombre.</translation>
    </message>
    <message>
        <source>The journal is damaged: move %1 is not one of a file in its folder.</source>
        <translation>El registro está dañado: el cambio de nombre %1 no corresponde a ningún archivo de su carpeta.</translation>
    </message>
    <message>
        <source>This run has been undone already.</source>
        <translation>Este renombrado ya se ha deshecho.</translation>
    </message>
    <message>
        <source>This run has not been undone, so there is nothing to redo.</source>
        <translation>Este renombrado no se ha deshecho, así que no hay nada que rehacer.</translation>
    </message>
    <message>
        <source>The journal cannot be written: %1</source>
        <translation>No se puede escribir el registro: %1</translation>
    </message>
    <message>
        <source>The folder “%1” that the run made stays: it is not empty.</source>
        <translation>La carpeta «%1» que creó la operación se queda: no está vacía.</translation>
    </message>
    <message>
        <source>The journal is damaged: the folder “%1” is not one below the folders of its files.</source>
        <translation>El registro está dañado: la carpeta «%1» no está bajo las carpetas de sus archivos.</translation>
    </message>
</context>
<context>
    <name>VLNWindow</name>
    <message>
        <source>Name</source>
        <translation>Nombre</translation>
    </message>
    <message>
        <source>The new file name without its extension. Tokens: [N] old name, [C] counter, [YMD] date, [hms] time, [N2-5] characters of the old name</source>
        <translation>El nombre nuevo del archivo sin su extensión. Etiquetas: [N] nombre anterior, [C] contador, [YMD] fecha, [hms] hora, [N2-5] caracteres del nombre anterior</translation>
    </message>
    <message>
        <source>Name template</source>
        <translation>Plantilla del nombre</translation>
    </message>
    <message>
        <source>Append the old name</source>
        <translation>Añadir el nombre anterior</translation>
    </message>
    <message>
        <source>[N] &amp;Name</source>
        <translation>[N] N&amp;ombre</translation>
    </message>
    <message>
        <source>Append the modification date</source>
        <translation>Añadir la fecha de modificación</translation>
    </message>
    <message>
        <source>[&amp;YMD] Date</source>
        <translation>[YMD] &amp;Fecha</translation>
    </message>
    <message>
        <source>Append the counter</source>
        <translation>Añadir el contador</translation>
    </message>
    <message>
        <source>[C] &amp;Counter</source>
        <translation>[C] &amp;Contador</translation>
    </message>
    <message>
        <source>Append the modification time</source>
        <translation>Añadir la hora de modificación</translation>
    </message>
    <message>
        <source>[hms] T&amp;ime</source>
        <translation>[hms] &amp;Hora</translation>
    </message>
    <message>
        <source>Extension</source>
        <translation>Extensión</translation>
    </message>
    <message>
        <source>The new extension. Tokens: [E] old extension, [C] counter, [E1-2] characters of the old extension</source>
        <translation>La extensión nueva. Etiquetas: [E] extensión anterior, [C] contador, [E1-2] caracteres de la extensión anterior</translation>
    </message>
    <message>
        <source>Extension template</source>
        <translation>Plantilla de la extensión</translation>
    </message>
    <message>
        <source>Append the old extension</source>
        <translation>Añadir la extensión anterior</translation>
    </message>
    <message>
        <source>[E] E&amp;xtension</source>
        <translation>[E] E&amp;xtensión</translation>
    </message>
    <message>
        <source>[C] Co&amp;unter</source>
        <translation>[C] Conta&amp;dor</translation>
    </message>
    <message>
        <source>Search and Replace</source>
        <translation>Buscar y reemplazar</translation>
    </message>
    <message>
        <source>&amp;Search:</source>
        <translation>&amp;Buscar:</translation>
    </message>
    <message>
        <source>Text to find</source>
        <translation>Texto que buscar</translation>
    </message>
    <message>
        <source>Re&amp;place:</source>
        <translation>Reempla&amp;zar por:</translation>
    </message>
    <message>
        <source>Replacement (empty removes)</source>
        <translation>Reemplazo (vacío: lo elimina)</translation>
    </message>
    <message>
        <source>Case</source>
        <translation>Mayúsculas y minúsculas</translation>
    </message>
    <message>
        <source>Keep Case</source>
        <translation>Mantener mayúsculas</translation>
    </message>
    <message>
        <source>all lowercase</source>
        <translation>todo en minúsculas</translation>
    </message>
    <message>
        <source>All UPPERCASE</source>
        <translation>TODO EN MAYÚSCULAS</translation>
    </message>
    <message>
        <source>Counter</source>
        <translation>Contador</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Inicio</translation>
    </message>
    <message>
        <source>Step &amp;by</source>
        <translation>Incre&amp;mento</translation>
    </message>
    <message>
        <source>Di&amp;gits</source>
        <translation>Dí&amp;gitos</translation>
    </message>
    <message>
        <source>Add files to the list</source>
        <translation>Añadir archivos a la lista</translation>
    </message>
    <message>
        <source>&amp;Add…</source>
        <translation>A&amp;ñadir…</translation>
    </message>
    <message>
        <source>Remove the selected files from the list</source>
        <translation>Quitar de la lista los archivos seleccionados</translation>
    </message>
    <message>
        <source>Re&amp;move</source>
        <translation>&amp;Quitar</translation>
    </message>
    <message>
        <source>Empty the list</source>
        <translation>Vaciar la lista</translation>
    </message>
    <message>
        <source>C&amp;lear All</source>
        <translation>Vacia&amp;r</translation>
    </message>
    <message>
        <source>Show the selected files in the file manager</source>
        <translation>Mostrar los archivos seleccionados en el gestor de archivos</translation>
    </message>
    <message>
        <source>Sh&amp;ow</source>
        <translation>Mo&amp;strar</translation>
    </message>
    <message>
        <source>No files</source>
        <translation>Ningún archivo</translation>
    </message>
    <message>
        <source>Start &amp;Renaming</source>
        <translation>&amp;Iniciar el renombrado</translation>
    </message>
    <message>
        <source>S&amp;kip Tutorial</source>
        <translation>Sa&amp;ltar el tutorial</translation>
    </message>
    <message>
        <source>&amp;Next</source>
        <translation>Siguien&amp;te</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Archivo</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Editar</translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation>Ve&amp;ntana</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>A&amp;yuda</translation>
    </message>
    <message>
        <source>&amp;Add Files…</source>
        <translation>&amp;Añadir archivos…</translation>
    </message>
    <message>
        <source>&amp;Start Renaming</source>
        <translation>&amp;Iniciar el renombrado</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Salir</translation>
    </message>
    <message>
        <source>&amp;Velnor</source>
        <translation>&amp;Velnor</translation>
    </message>
    <message>
        <source>Show &amp;Tutorial</source>
        <translation>Mostrar el &amp;tutorial</translation>
    </message>
    <message>
        <source>&amp;Undo Rename</source>
        <translation>&amp;Deshacer el renombrado</translation>
    </message>
    <message>
        <source>Re&amp;do Rename</source>
        <translation>&amp;Rehacer el renombrado</translation>
    </message>
    <message>
        <source>Rename &amp;History…</source>
        <translation>&amp;Historial de renombrados…</translation>
    </message>
    <message>
        <source>&amp;Go to Name Template</source>
        <translation>Ir a la &amp;plantilla del nombre</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Quitar</translation>
    </message>
    <message>
        <source>&amp;Clear All</source>
        <translation>&amp;Vaciar la lista</translation>
    </message>
    <message>
        <source>&amp;Show</source>
        <translation>&amp;Mostrar</translation>
    </message>
    <message>
        <source>Copy &amp;New Name</source>
        <translation>Copiar el &amp;nombre nuevo</translation>
    </message>
    <message>
        <source>Velnor &amp;Web Site</source>
        <translation>Sitio &amp;web de Velnor</translation>
    </message>
    <message>
        <source>&amp;About Velnor</source>
        <translation>&amp;Acerca de Velnor</translation>
    </message>
    <message>
        <source>
Thank you for installing Velnor, the fastest way to rename large amounts of files.


Click Next for a quick start guide on how to use this software.</source>
        <translation>
Gracias por instalar Velnor, la forma más rápida de renombrar grandes cantidades de archivos.


Pulse Siguiente para ver una breve introducción a este programa.</translation>
    </message>
    <message>
        <source>In this section you can search for a particular text and replace it.
Leave the replace text empty if you simply want to remove the searched text.

Try typing Test in the search textfield.</source>
        <translation>En esta sección busca un texto concreto y lo reemplaza.
Deje vacío el reemplazo si solo quiere eliminar el texto buscado.

Pruebe a escribir Test en el campo de búsqueda.</translation>
    </message>
    <message>
        <source>In this section you can convert the entire file name to uppercase or lowercase

Try changing it to All UPPERCASE.</source>
        <translation>En esta sección pasa todo el nombre del archivo a mayúsculas o a minúsculas

Pruebe a cambiarlo a TODO EN MAYÚSCULAS.</translation>
    </message>
    <message>
        <source>Add Files</source>
        <translation>Añadir archivos</translation>
    </message>
    <message>
        <source>The rename could not be prepared for undo.</source>
        <translation>No se pudo preparar el renombrado para poder deshacerlo.</translation>
    </message>
    <message>
        <source>%1

No file has been renamed. Without undo, this rename cannot be taken back.</source>
        <translation>%1

No se ha renombrado ningún archivo. Sin la opción de deshacer, este renombrado no se podrá revertir.</translation>
    </message>
    <message>
        <source>Rename &amp;Without Undo</source>
        <translation>Renombrar &amp;sin poder deshacer</translation>
    </message>
    <message>
        <source>&amp;Paste New Names</source>
        <translation>Pe&amp;gar los nombres nuevos</translation>
    </message>
    <message>
        <source>The lines on the clipboard become the new names of the selected files</source>
        <translation>Las líneas del portapapeles pasan a ser los nombres nuevos de los archivos seleccionados</translation>
    </message>
    <message>
        <source>R&amp;eset New Name</source>
        <translation>R&amp;establecer el nombre nuevo</translation>
    </message>
    <message>
        <source>The selected files take the new names the rules give again</source>
        <translation>Los archivos seleccionados vuelven a tomar los nombres nuevos de las reglas</translation>
    </message>
    <message>
        <source>A new name cannot be empty.</source>
        <translation>Un nombre nuevo no puede estar vacío.</translation>
    </message>
    <message>
        <source>The file keeps the new name it had.</source>
        <translation>El archivo conserva el nombre nuevo que tenía.</translation>
    </message>
    <message>
        <source>In this section you can change the file name based on the text you input.
Using special tokens such as [N] or [C] you can insert dynamic text into the file name.
For date and time tokens, you can change the order of units in the token itself, such as [DMY] or [hms].

Try typing [N]-[YMD] in the text field and see how the names change as you type.</source>
        <translation>En esta sección cambia el nombre del archivo según el texto que escriba.
Con etiquetas como [N] o [C] inserta texto variable en el nombre.
En las etiquetas de fecha y hora, el orden de las unidades se elige en la propia etiqueta, por ejemplo [DMY] o [hms].

Escriba [N]-[YMD] en el campo y vea cómo cambian los nombres mientras escribe.</translation>
    </message>
    <message>
        <source>In this section you can change the file extension based on the text you input.
Using special tokens such as [E] or [C] you can insert dynamic text into the extension.

Try typing [C] in the text field to set the extension to an increasing number.</source>
        <translation>En esta sección cambia la extensión según el texto que escriba.
Con etiquetas como [E] o [C] inserta texto variable en la extensión.

Escriba [C] en el campo para que la extensión sea un número creciente.</translation>
    </message>
    <message>
        <source>In this section you can adjust the numerical counter linked to the [C] token.
The counter can start from a certain number and increase in value by the number next to Step by.
Digits represent the minimum amount of digits the counter will show.

Try increasing the Digits to 3.</source>
        <translation>En esta sección ajusta el contador de la etiqueta [C].
El contador empieza en un número y aumenta en el número junto a Paso.
Dígitos indica cuántas cifras muestra como mínimo.

Suba Dígitos a 3.</translation>
    </message>
    <message>
        <source>That&apos;s it!
All you have to do now is drag the files or folders you want to rename onto this window, or add them with the Add… and Add Folder… buttons. Adjust the renaming parameters and click on the Start Renaming button.

If you have any questions, you can reach us by email at %1</source>
        <translation>¡Eso es todo!
Ahora solo tiene que arrastrar los archivos o carpetas que quiera renombrar a esta ventana, o añadirlos con los botones Añadir… y Añadir carpeta… Ajuste los parámetros y pulse Iniciar el renombrado.

Si tiene preguntas, escríbanos a %1</translation>
    </message>
    <message>
        <source>Folder &amp;Access…</source>
        <translation>Acceso a carpe&amp;tas…</translation>
    </message>
</context>
<context>
    <name>WindowActions</name>
    <message>
        <source>Line %1 of the clipboard is empty; nothing was changed.</source>
        <translation>La línea %1 del portapapeles está vacía; no se ha cambiado nada.</translation>
    </message>
    <message>
        <source>The clipboard holds %1 lines for %2 files; nothing was changed.</source>
        <translation>El portapapeles contiene %1 líneas para %2 archivos; no se ha cambiado nada.</translation>
    </message>
    <message>
        <source>Rename the files of the list to their new names</source>
        <translation>Cambiar el nombre de los archivos de la lista por sus nombres nuevos</translation>
    </message>
</context>
</TS>
