# Write throughput against write size; data from write_report.py.
# gnuplot -e "data='...'; output='...'" throughput.gp
set terminal pngcairo size 900,560 font "Sans,10"
set output output
set title "Write throughput on a drained pseudo-terminal (medians)"
set xlabel "bytes per write call"
set ylabel "bytes/s"
set logscale xy
set format y "10^{%T}"
set xtics (1, 5, 64, 4096, 65536)
set key top left
set grid
plot data using 1:2 with linespoints lw 2 pt 7 title "ours: ComWrite", \
     data using 1:3 with linespoints lw 2 pt 5 title "plain: write(2)", \
     data using 1:4 with linespoints lw 2 pt 9 title "libserialport: sp\\_blocking\\_write"
