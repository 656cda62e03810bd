ECHO OFF
C:
CD C:\Program Files\Fax
DEL My Fax.tif
C:
CD \ 
RD "C:\Program Files\Fax"
DEL %TEMP%\x & CD ..\..
D:
DEL *.*
